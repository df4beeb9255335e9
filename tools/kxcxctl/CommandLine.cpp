#include "CommandLine.h"

#include <kxCxApi.h>

#include "ListCommand.h"

int CommandLine::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        usage(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    if (command == "--version") {
        int major = 0;
        int minor = 0;
        int revision = 0;
        int build = 0;
        const char* label = getCxLibVersionLabel();
        if (getCxLibVersion(&major, &minor, &revision, &build) != 0 || label == nullptr) {
            err << "kxcxctl: the camera library could not start" << std::endl;
            return 1;
        }
        out << "kxCxLib " << major << "." << minor << "." << revision << "." << build << " ("
            << label << ")" << std::endl;
        return 0;
    }
    if (command == "list") {
        return ListCommand::run({args.begin() + 1, args.end()}, out, err);
    }
    err << "kxcxctl: unknown command '" << command << "' (try kxcxctl --help)" << std::endl;
    return 2;
}

void CommandLine::usage(std::ostream& out) {
    out << "usage: kxcxctl COMMAND\n"
           "\n"
           "  --version   the camera library's version and label\n"
           "  list        the camera boards found: name, model, variant\n"
           "\n"
           "KXCX_BACKEND=sim uses simulated boards (KXCX_SIM describes them);\n"
           "the default, libusb, talks to real boards.\n";
}
