#include "HarnviewCommandLine.h"

#include <cstddef>
#include <functional>

#include "ViewerVersion.h"

namespace hv {

namespace {

// Everything the command line said, before it is turned into one action.
struct Request {
    HarnviewOptions options;
    bool addUser = false;
    bool version = false;
    bool help = false;
};

struct Option {
    const char* name;
    const char* value;  // the value's name, or null for a flag
    const char* help;
    std::function<void(Request&, const std::string&)> take;
};

const std::vector<Option>& options() {
    static const std::vector<Option> table = {
        {"--simulate", nullptr, "run on a simulated camera board instead of the USB bus",
         [](Request& r, const std::string&) { r.options.simulate = true; }},
        {"--add-user", "NAME",
         "add an account to login.txt (the password is read from standard input) and exit",
         [](Request& r, const std::string& v) {
             r.addUser = true;
             r.options.userName = v;
         }},
        {"--type", "TYPE", "with --add-user: Operator, Support or Admin",
         [](Request& r, const std::string& v) { r.options.userType = v; }},
        {"--root", "DIR", "the working folder (default $VELQUIN_ROOT, else $HOME/Velquin)",
         [](Request& r, const std::string& v) { r.options.folder = v; }},
        {"--version", nullptr, "print the version and exit",
         [](Request& r, const std::string&) { r.version = true; }},
        {"--help", nullptr, "print this help and exit",
         [](Request& r, const std::string&) { r.help = true; }},
    };
    return table;
}

const Option* find(const std::string& name) {
    for (const Option& option : options()) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

HarnviewOptions refuse(const std::string& problem) {
    HarnviewOptions refused;
    refused.action = HarnviewOptions::Refuse;
    refused.problem = problem;
    return refused;
}

}  // namespace

HarnviewOptions HarnviewCommandLine::parse(const std::vector<std::string>& arguments) {
    Request request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const Option* option = find(argument == "-h" ? "--help" : argument);
        if (!option) {
            return refuse("unknown argument: " + argument);
        }
        std::string value;
        if (option->value) {
            if (i + 1 >= arguments.size()) {
                return refuse(std::string(option->name) + " needs " + option->value);
            }
            value = arguments[++i];
        }
        option->take(request, value);
    }
    HarnviewOptions& result = request.options;
    if (request.help) {
        result.action = HarnviewOptions::PrintHelp;
    } else if (request.version) {
        result.action = HarnviewOptions::PrintVersion;
    } else if (request.addUser) {
        if (result.userType.empty()) {
            return refuse("--add-user needs --type TYPE");
        }
        result.action = HarnviewOptions::AddUser;
    } else if (!result.userType.empty()) {
        return refuse("--type goes with --add-user");
    }
    return result;
}

std::string HarnviewCommandLine::versionText() {
    return std::string("Harnview ") + ViewerVersion::text() + "\n";
}

std::string HarnviewCommandLine::helpText() {
    std::string text =
        "Usage: Harnview [--simulate] [--root DIR]\n"
        "       Harnview --add-user NAME --type TYPE [--root DIR]\n"
        "The viewer of the inspection camera.\n\n";
    for (const Option& option : options()) {
        std::string left = std::string("  ") + option.name;
        if (option.value) {
            left += std::string(" ") + option.value;
        }
        left.resize(left.size() < 20 ? 20 : left.size() + 1, ' ');
        text += left + option.help + "\n";
    }
    text +=
        "\nKXCX_BACKEND=sim has the effect of --simulate; KXCX_SIM describes the simulated "
        "boards.\n";
    return text;
}

}  // namespace hv
