#include "FlashCommand.h"

#include <cstdio>

#include "DeviceCommand.h"
#include "LogEnvironment.h"
#include "McsImage.h"
#include "ProgressBar.h"
#include "SpiFlashReader.h"

namespace {

constexpr const char* kUsage =
    "usage: flash erase | flash program [FILE] [--verify] | flash verify [FILE]  [--quiet] "
    "[--device NAME]";
constexpr const char* kDefaultImage = "firmware/default.mcs";
constexpr uint8_t kSequentialMaker = 0xBF;

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

}  // namespace

int FlashCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    const auto& words = arguments.positional();
    const std::string verb = words.empty() ? "" : words[0];
    const bool known = (verb == "erase" && words.size() == 1) ||
                       ((verb == "program" || verb == "verify") && words.size() <= 2);
    if (!known) {
        return DeviceCommand::fail(err, "flash", kUsage, 2);
    }
    auto session = DeviceCommand::open(arguments, {"--quiet", "--verify"}, "flash", err);
    if (!session) {
        return session.exitCode();
    }
    const bool quiet = arguments.flag("--quiet");
    const std::string file = words.size() == 2 ? words[1] : kDefaultImage;
    if (verb == "erase") {
        return erase(session->handle(), quiet, out, err);
    }
    if (verb == "program") {
        int code = erase(session->handle(), quiet, out, err);
        code = code != 0 ? code : program(session->handle(), file, quiet, out, err);
        return code != 0 || !arguments.flag("--verify") ? code
                                                        : verify(session->handle(), file, out, err);
    }
    return verify(session->handle(), file, out, err);
}

int FlashCommand::erase(CamContext* handle, bool quiet, std::ostream& out, std::ostream& err) {
    uint16_t status[3] = {};
    int result = 0;
    {
        ProgressBar bar(err, quiet, {5, 110});
        result = eraseFpgaFromFlash(handle, status, ProgressBar::callback());
    }
    if (result == -5) {
        return DeviceCommand::fail(err, "flash", "the flash is of an unknown maker");
    }
    if (result != 0) {
        return DeviceCommand::fail(err, "flash", "erasing failed (" + std::to_string(result) + ")");
    }
    out << "flash erased (status " << hex(status[0], 4) << " " << hex(status[1], 4) << " "
        << hex(status[2], 4) << ")" << std::endl;
    return 0;
}

int FlashCommand::program(CamContext* handle, const std::string& file, bool quiet,
                          std::ostream& out, std::ostream& err) {
    int size = 0;
    int result = 0;
    {
        ProgressBar bar(err, quiet, {2, 250});
        result = uploadFpgaFirmwareToFlash(handle, &size, file.c_str(), ProgressBar::callback());
    }
    if (result == -5) {
        return DeviceCommand::fail(err, "flash", "the flash is of an unknown maker");
    }
    if (result < 0) {
        return DeviceCommand::fail(err, "flash",
                                   "cannot program " + file + ", missing or damaged: " +
                                       LogEnvironment::pointTo("says why"));
    }
    out << "programmed " << file << ": " << result << " bytes from " << size << " characters"
        << std::endl;
    return 0;
}

int FlashCommand::verify(CamContext* handle, const std::string& file, std::ostream& out,
                         std::ostream& err) {
    SpiFlashReader reader(handle);
    const uint8_t maker = reader.maker();
    McsImage image;
    if (!image.load(file, maker == kSequentialMaker)) {
        return DeviceCommand::fail(err, "flash", "cannot read " + file + " (missing or damaged)");
    }
    std::vector<uint8_t> flash;
    for (const McsImage::Piece& piece : image.pieces()) {
        if (!reader.read(piece.address, static_cast<uint32_t>(piece.bytes.size()), flash)) {
            return DeviceCommand::fail(err, "flash",
                                       "reading the flash failed at " + hex(piece.address, 6));
        }
        for (std::size_t i = 0; i < flash.size(); ++i) {
            if (flash[i] != piece.bytes[i]) {
                const uint32_t at = piece.address + static_cast<uint32_t>(i);
                return DeviceCommand::fail(err, "flash",
                                           "differs from " + file + " at " + hex(at, 6) +
                                               ": flash " + hex(flash[i], 2) + ", file " +
                                               hex(piece.bytes[i], 2));
            }
        }
    }
    out << "flash matches " << file << ": " << image.bytes() << " bytes" << std::endl;
    return 0;
}
