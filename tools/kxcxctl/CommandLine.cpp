#include "CommandLine.h"

#include <kxCxApi.h>

#include "GrabCommand.h"
#include "IoctlCommand.h"
#include "ListCommand.h"
#include "RegCommand.h"
#include "RegFileCommand.h"
#include "SimCommand.h"
#include "StreamCommand.h"
#include "VersionsCommand.h"

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
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "list") {
        return ListCommand::run(rest, out, err);
    }
    if (command == "reg") {
        return RegCommand::run(rest, out, err);
    }
    if (command == "regfile") {
        return RegFileCommand::run(rest, out, err);
    }
    if (command == "ioctl") {
        return IoctlCommand::run(rest, out, err);
    }
    if (command == "versions") {
        return VersionsCommand::run(rest, out, err);
    }
    if (command == "grab") {
        return GrabCommand::run(rest, out, err);
    }
    if (command == "stream") {
        return StreamCommand::run(rest, out, err);
    }
    if (command == "sim") {
        return SimCommand::run(rest, out, err);
    }
    err << "kxcxctl: unknown command '" << command << "' (try kxcxctl --help)" << std::endl;
    return 2;
}

void CommandLine::usage(std::ostream& out) {
    out << "usage: kxcxctl COMMAND\n"
           "\n"
           "  --version   the camera library's version and label\n"
           "  list        the camera boards found: name, model, variant\n"
           "  reg read SLAVE REG [--wide]          read one register of an I2C part\n"
           "  reg write SLAVE REG VALUE [--wide]   write one register\n"
           "  regfile PATH [--quiet]      send a register file to the sensor\n"
           "  ioctl in REQUEST VALUE INDEX LENGTH        one vendor request, device to host\n"
           "  ioctl out REQUEST VALUE INDEX [BYTE...]    one vendor request, host to device\n"
           "  versions    the board's firmware and FPGA versions\n"
           "  grab N DIR [--write SLAVE:REG=VALUE]...   set registers, then write N frames as PNG\n"
           "  stream SECONDS       stream and report frames per second and the board's counters\n"
           "  sim ...     drive the simulated boards of a running program (kxcxctl sim help)\n"
           "\n"
           "Board commands take --device NAME (needed when several boards are found) and\n"
           "--regfile PATH (the register file a second-variant board is opened with).\n"
           "Numbers are decimal or 0x-prefixed hexadecimal.\n"
           "KXCX_BACKEND=sim uses simulated boards (KXCX_SIM describes them);\n"
           "the default, libusb, talks to real boards.\n";
}
