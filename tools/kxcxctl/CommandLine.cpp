#include "CommandLine.h"

#include <kxCxApi.h>

#include "FlashCommand.h"
#include "FpgaCommand.h"
#include "GammaCommand.h"
#include "GrabCommand.h"
#include "IoctlCommand.h"
#include "ListCommand.h"
#include "LogEnvironment.h"
#include "McuCommand.h"
#include "RegCommand.h"
#include "RegFileCommand.h"
#include "SimCommand.h"
#include "StreamCommand.h"
#include "UdevRulesCommand.h"
#include "VersionsCommand.h"

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
    if (command == "fpga") {
        return FpgaCommand::run(rest, out, err);
    }
    if (command == "flash") {
        return FlashCommand::run(rest, out, err);
    }
    if (command == "mcu") {
        return McuCommand::runMcu(rest, out, err);
    }
    if (command == "eeprom") {
        return McuCommand::runEeprom(rest, out, err);
    }
    if (command == "gamma") {
        return GammaCommand::run(rest, out, err);
    }
    if (command == "sim") {
        return SimCommand::run(rest, out, err);
    }
    if (command == "udev-rules") {
        return UdevRulesCommand::run(rest, out, err);
    }
    err << "kxcxctl: unknown command '" << command << "' (try kxcxctl --help)" << std::endl;
    return 2;
}

void CommandLine::usage(std::ostream& out) {
    out << "usage: kxcxctl [-v] COMMAND\n"
           "\n"
           "  -v, --verbose   echo the library's log and module records to standard error\n"
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
           "  fpga load [FILE]      configure the FPGA over JTAG (firmware/default.bit)\n"
           "  fpga init             the FPGA's start-up handshake\n"
           "  flash erase           erase the FPGA's configuration flash\n"
           "  flash program [FILE] [--verify]   erase, program (firmware/default.mcs), verify\n"
           "  flash verify [FILE]   read the flash back and compare it with the image\n"
           "  mcu load [FILE]       load a program into the USB controller (firmware/default.hex)\n"
           "  eeprom write [FILE]   write the boot EEPROM (firmware/default.iic)\n"
           "  gamma upload N [FILE] [--type 0-3]   send a gamma table to slot N (0-15)\n"
           "  gamma download N [--out FILE]        read slot N (0-15) back (and save it)\n"
           "  sim ...     drive the simulated boards of a running program (kxcxctl sim help)\n"
           "  udev-rules [--map FILE]   udev rules giving the seat's user the mapped boards\n"
           "\n"
           "Loaders draw a progress bar on standard error; --quiet leaves it out.\n"
           "Board commands take --device NAME (needed when several boards are found) and\n"
           "--regfile PATH (the register file a second-variant board is opened with).\n"
           "Numbers are decimal or 0x-prefixed hexadecimal.\n"
           "KXCX_BACKEND=sim uses simulated boards (KXCX_SIM describes them);\n"
           "the default, libusb, talks to real boards.\n"
           "The library's log (kxCxLogYYYYMMDD.txt) and module log (kxCxModLog.txt) go to\n"
           "$XDG_STATE_HOME/kxcx (~/.local/state/kxcx), or to KXCX_LOG_DIR when it is set.\n";
}
