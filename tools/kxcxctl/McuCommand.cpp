#include "McuCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>
#include <vector>

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
// Runs after a load that succeeded: an exit code (0: all is well).
using Check = std::function<int(CamContext*, const std::string& file)>;

int load(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         const char* command, const char* verb, const char* defaultFile, Loader loader,
         const Check& check = {}) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    const auto& words = arguments.positional();
    if (words.empty() || words[0] != verb || words.size() > 2) {
        return DeviceCommand::fail(
            err, command,
            std::string("usage: ") + command + " " + verb + " [FILE] [--quiet] [--device NAME]", 2);
    }
    auto session = DeviceCommand::open(arguments, {"--quiet"}, command, err);
    if (!session) {
        return session.exitCode();
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
    return check ? check(session->handle(), file) : 0;
}

// Reads the boot EEPROM back (16 bytes a request, 16-bit offsets) and compares it with the
// image: an EEPROM smaller than the image wraps round and overwrites its start.
int verifyEeprom(CamContext* handle, const std::string& file, std::ostream& out,
                 std::ostream& err) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    for (std::size_t at = 0; at < image.size(); at += 16) {
        const int length = static_cast<int>(std::min<std::size_t>(16, image.size() - at));
        uint8_t piece[16] = {};
        int transferred = 0;
        if (ioctlCxDevice(handle, 0, 1, 0xA9, static_cast<int>(at), 0x151, length, piece,
                          &transferred) != 0 ||
            transferred != length) {
            return DeviceCommand::fail(err, "eeprom", "reading the EEPROM back failed");
        }
        for (int i = 0; i < length; ++i) {
            if (piece[i] != image[at + static_cast<std::size_t>(i)]) {
                char where[16];
                std::snprintf(where, sizeof where, "0x%04zX", at + static_cast<std::size_t>(i));
                return DeviceCommand::fail(err, "eeprom",
                                           std::string("the EEPROM holds something else at ") +
                                               where + " (is it smaller than the image?)");
            }
        }
    }
    out << "verified " << image.size() << " bytes" << std::endl;
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
                &uploadMcuFirmwareToEeprom, [&](CamContext* handle, const std::string& file) {
                    return verifyEeprom(handle, file, out, err);
                });
}
