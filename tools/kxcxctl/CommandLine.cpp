#include "CommandLine.h"

#include <kxCxApi.h>

#include "CommandTable.h"
#include "LogEnvironment.h"

int CommandLine::run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    // -v and --verbose may stand anywhere; the commands never see them.
    std::vector<std::string> args;
    bool verbose = false;
    for (const std::string& word : words) {
        if (word == "-v" || word == "--verbose") {
            verbose = true;
        } else {
            args.push_back(word);
        }
    }
    LogEnvironment::prepare(verbose);
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
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const CommandEntry* entry = CommandTable::commands().find(command);
    if (entry != nullptr) {
        return entry->run(rest, out, err);
    }
    err << "kxcxctl: unknown command '" << command << "' (try kxcxctl --help)" << std::endl;
    return 2;
}

void CommandLine::usage(std::ostream& out) {
    out << "usage: kxcxctl [-v] COMMAND\n"
           "\n"
           "  -v, --verbose   echo the library's log and module records to standard error\n"
           "  --version   the camera library's version and label\n";
    CommandTable::commands().writeUsage(out);
    out << "\n"
           "Loaders draw a progress bar on standard error; --quiet leaves it out.\n"
           "Board commands take --device NAME (needed when several boards are found) and\n"
           "--regfile PATH (the register file a second-variant board is opened with).\n"
           "Numbers are decimal or 0x-prefixed hexadecimal.\n"
           "KXCX_BACKEND=sim uses simulated boards (KXCX_SIM describes them);\n"
           "the default, libusb, talks to real boards.\n"
           "The library's log (kxCxLogYYYYMMDD.txt) and module log (kxCxModLog.txt) go to\n"
           "$XDG_STATE_HOME/kxcx (~/.local/state/kxcx), or to KXCX_LOG_DIR when it is set.\n";
}
