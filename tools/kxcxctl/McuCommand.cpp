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
#include "TransferError.h"
#include "kxBinaryFile.h"
#include "kxBootImageFile.h"
#include "kxControllerProgram.h"
#include "kxLineReader.h"

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
// Why a file is no image for the loader's target (empty when it is one).
using FileCheck = std::string (*)(const std::string& file);
// Runs after a load that succeeded: an exit code (0: all is well).
using Check = std::function<int(CamContext*, const std::string& file)>;

// How one loader command speaks of its file.
struct LoadCommand {
    const char* command;  // "mcu"
    const char* verb;     // "load"
    const char* failing;  // "loading"
    const char* defaultFile;
    Loader loader;
    FileCheck fileCheck;
};

int load(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         const LoadCommand& what, const Check& check = {}) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    const auto& words = arguments.positional();
    const std::string usage = std::string("usage: ") + what.command + " " + what.verb +
                              " [FILE] [--quiet] [--device NAME]";
    if (words.empty() || words[0] != what.verb || words.size() > 2) {
        return DeviceCommand::fail(err, what.command, usage, 2);
    }
    if (const int usage = DeviceCommand::checkUsage(arguments, {"--quiet"}, what.command, err)) {
        return usage;
    }
    const std::string file = words.size() == 2 ? words[1] : what.defaultFile;
    // The board is not touched for a file that is no image for it.
    if (const std::string fault = what.fileCheck(file); !fault.empty()) {
        return DeviceCommand::fail(err, what.command,
                                   "cannot " + std::string(what.verb) + " " + file + ": " + fault);
    }
    auto session = DeviceCommand::open(arguments, {"--quiet"}, what.command, err);
    if (!session) {
        return session.exitCode();
    }
    int result = 0;
    {
        ProgressBar bar(err, arguments.flag("--quiet"), rangeFor(file));
        result = what.loader(session->handle(), file.c_str(), ProgressBar::callback());
        if (result >= 0) {
            bar.complete();
        }
    }
    if (result == -1) {
        return DeviceCommand::fail(
            err, what.command,
            "cannot " + std::string(what.verb) + " " + file + " (the library log says why)");
    }
    if (result < 0) {
        return DeviceCommand::fail(
            err, what.command,
            std::string(what.failing) + " " + file + " failed: " + TransferError::cause(result));
    }
    out << "loaded " << file << ": " << result << " bytes" << std::endl;
    return check ? check(session->handle(), file) : 0;
}

std::string bootImageFault(const std::string& file) {
    std::vector<uint8_t> bytes;
    if (const long size = LineReader::fileSize(file.c_str()); size > BootImageFile::kMaxBytes) {
        return BootImageFile::sizeFault(size);
    }
    return BinaryFile::read(file.c_str(), bytes) ? BootImageFile::fault(bytes)
                                                 : "it is no readable file";
}

std::string programFault(const std::string& file) {
    return ControllerProgram::check(file.c_str());
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
        load(args, out, err,
             {"mcu", "load", "loading", "firmware/default.hex", &uploadMcuFirmware, &programFault});
    if (code == 0) {
        out << "the controller runs the new program: the board leaves the bus and comes back"
            << std::endl;
    }
    return code;
}

int McuCommand::runEeprom(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    return load(args, out, err,
                {"eeprom", "write", "writing", "firmware/default.iic", &uploadMcuFirmwareToEeprom,
                 &bootImageFault},
                [&](CamContext* handle, const std::string& file) {
                    return verifyEeprom(handle, file, out, err);
                });
}

CommandEntry McuCommand::mcuEntry() {
    return {"mcu",
            {"mcu load [FILE]       load a program into the USB controller (firmware/default.hex)"},
            &McuCommand::runMcu};
}

CommandEntry McuCommand::eepromEntry() {
    return {"eeprom",
            {"eeprom write [FILE]   write the boot EEPROM (firmware/default.iic)"},
            &McuCommand::runEeprom};
}
