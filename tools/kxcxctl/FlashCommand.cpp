#include "FlashCommand.h"

#include <cstdio>

#include "DeviceCommand.h"
#include "LogEnvironment.h"
#include "ProgressBar.h"
#include "SpiFlashReader.h"
#include "TransferError.h"
#include "kxMcsImage.h"

namespace {

constexpr const char* kUsage =
    "usage: flash erase | flash program [FILE] [--verify] | flash verify [FILE]  [--quiet] "
    "[--device NAME]";
constexpr const char* kDefaultImage = "firmware/default.mcs";
constexpr int kUnknownMaker = -5;

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
    const std::vector<std::string> flags = {"--quiet", "--verify"};
    if (const int usage = DeviceCommand::checkUsage(arguments, flags, "flash", err)) {
        return usage;
    }
    // The whole image is read and checked before the board is touched.
    const std::string file = words.size() == 2 ? words[1] : kDefaultImage;
    IntelHexImage image;
    if (verb != "erase") {
        McsImage data;
        if (!image.read(file.c_str()) || !data.take(image, false)) {
            const std::string& fault = image.fault().empty() ? data.fault() : image.fault();
            return DeviceCommand::fail(
                err, "flash",
                (verb == "program" ? "cannot program " : "cannot read ") + file + ": " + fault);
        }
    }
    auto session = DeviceCommand::open(arguments, flags, "flash", err);
    if (!session) {
        return session.exitCode();
    }
    const bool quiet = arguments.flag("--quiet");
    if (verb == "erase") {
        return erase(session->handle(), quiet, out, err);
    }
    if (verb == "program") {
        return program(session->handle(), file, image, quiet, arguments.flag("--verify"), out, err);
    }
    return verify(session->handle(), file, image, out, err);
}

bool FlashCommand::identify(CamContext* handle, FlashIdentification& identification,
                            std::ostream& err) {
    if (!SpiFlashReader(handle).identify(identification)) {
        DeviceCommand::fail(err, "flash", "reading the flash's identification failed");
        return false;
    }
    if (!FlashIdentification::knownMaker(identification.maker)) {
        DeviceCommand::fail(err, "flash", "the flash is of an unknown maker");
        return false;
    }
    return true;
}

int FlashCommand::erase(CamContext* handle, bool quiet, std::ostream& out, std::ostream& err) {
    uint16_t status[3] = {};
    int result = 0;
    {
        ProgressBar bar(err, quiet, {5, 110});
        result = eraseFpgaFromFlash(handle, status, ProgressBar::callback());
    }
    if (result == kUnknownMaker) {
        return DeviceCommand::fail(err, "flash", "the flash is of an unknown maker");
    }
    if (result != 0) {
        return DeviceCommand::fail(err, "flash", "erasing failed: " + TransferError::cause(result));
    }
    out << "flash erased (status " << hex(status[0], 4) << " " << hex(status[1], 4) << " "
        << hex(status[2], 4) << ")" << std::endl;
    return 0;
}

int FlashCommand::program(CamContext* handle, const std::string& file, const IntelHexImage& image,
                          bool quiet, bool verify, std::ostream& out, std::ostream& err) {
    // Nothing is erased for an image that does not fit the flash.
    FlashIdentification identification;
    if (!identify(handle, identification, err)) {
        return 1;
    }
    McsImage flash;
    flash.take(image, identification.maker == FlashIdentification::kMakerAutoIncrement);
    if (const std::string misfit = flash.misfit(identification.capacity()); !misfit.empty()) {
        return DeviceCommand::fail(err, "flash", "cannot program " + file + ": " + misfit);
    }
    if (const int erased = erase(handle, quiet, out, err); erased != 0) {
        return erased;
    }
    int size = 0;
    int result = 0;
    {
        ProgressBar bar(err, quiet, {2, 250});
        result = uploadFpgaFirmwareToFlash(handle, &size, file.c_str(), ProgressBar::callback());
    }
    if (result == kUnknownMaker) {
        return DeviceCommand::fail(err, "flash", "the flash is of an unknown maker");
    }
    if (result == -1) {
        return DeviceCommand::fail(err, "flash",
                                   "cannot program " + file + ", missing or damaged: " +
                                       LogEnvironment::pointTo("says why"));
    }
    if (result < 0) {
        return DeviceCommand::fail(err, "flash",
                                   "programming failed: " + TransferError::cause(result));
    }
    out << "programmed " << file << ": " << result << " bytes from " << size << " characters"
        << std::endl;
    return verify ? FlashCommand::verify(handle, file, image, out, err) : 0;
}

int FlashCommand::verify(CamContext* handle, const std::string& file, const IntelHexImage& image,
                         std::ostream& out, std::ostream& err) {
    FlashIdentification identification;
    if (!identify(handle, identification, err)) {
        return 1;
    }
    McsImage flash;
    flash.take(image, identification.maker == FlashIdentification::kMakerAutoIncrement);
    SpiFlashReader reader(handle);
    std::vector<uint8_t> bytes;
    for (const McsImage::Piece& piece : flash.pieces()) {
        if (!reader.read(piece.address, static_cast<uint32_t>(piece.bytes.size()), bytes)) {
            return DeviceCommand::fail(err, "flash",
                                       "reading the flash failed at " + hex(piece.address, 6));
        }
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != piece.bytes[i]) {
                const uint32_t at = piece.address + static_cast<uint32_t>(i);
                return DeviceCommand::fail(err, "flash",
                                           "differs from " + file + " at " + hex(at, 6) +
                                               ": flash " + hex(bytes[i], 2) + ", file " +
                                               hex(piece.bytes[i], 2));
            }
        }
    }
    out << "flash matches " << file << ": " << flash.bytes() << " bytes" << std::endl;
    return 0;
}

CommandEntry FlashCommand::entry() {
    return {"flash",
            {"flash erase           erase the FPGA's configuration flash",
             "flash program [FILE] [--verify]   erase, program (firmware/default.mcs), verify",
             "flash verify [FILE]   read the flash back and compare it with the image"},
            &FlashCommand::run};
}
