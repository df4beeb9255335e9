#include "McuCommand.h"

#include <filesystem>
#include <system_error>

#include "DeviceCommand.h"
#include "ProgressBar.h"

namespace {

// The last progress step of the controller's loaders for a file: one step a kilobyte (a 200th
// of files above 200 KiB), the first report after three.
ProgressBar::Range rangeFor(const std::string& file) {
    std::error_code error;
    const auto size = static_cast<long>(std::filesystem::file_size(file, error));
    const long step = error ? 1024 : (size / 1024 <= 200 ? 1024 : size / 200);
    const long reports = error ? 1 : size / step - 2;
    return {2, static_cast<int>(2 + std::max(1L, reports))};
}

using Loader = int (*)(CamContext*, const char*, CxProgressProc);

int load(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         const char* command, const char* verb, const char* defaultFile, Loader loader) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    const auto& words = arguments.positional();
    if (words.empty() || words[0] != verb || words.size() > 2) {
        return DeviceCommand::fail(
            err, command,
            std::string("usage: ") + command + " " + verb + " [FILE] [--quiet] [--device NAME]", 2);
    }
    auto session = DeviceCommand::open(arguments, {"--quiet"}, command, err);
    if (!session) {
        return 1;
    }
    const std::string file = words.size() == 2 ? words[1] : defaultFile;
    int result = 0;
    {
        ProgressBar bar(err, arguments.flag("--quiet"), rangeFor(file));
        result = loader(session->handle(), file.c_str(), ProgressBar::callback());
        if (result >= 0) {
            bar.complete();
        }
    }
    if (result < 0) {
        return DeviceCommand::fail(err, command,
                                   "cannot load " + file + " (missing, damaged or too large)");
    }
    out << "loaded " << file << ": " << result << " bytes" << std::endl;
    return 0;
}

}  // namespace

int McuCommand::runMcu(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const int code =
        load(args, out, err, "mcu", "load", "firmware/default.hex", &uploadMcuFirmware);
    if (code == 0) {
        out << "the controller runs the new program: the board leaves the bus and comes back"
            << std::endl;
    }
    return code;
}

int McuCommand::runEeprom(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    return load(args, out, err, "eeprom", "write", "firmware/default.iic",
                &uploadMcuFirmwareToEeprom);
}
