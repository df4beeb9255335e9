#include "FirmwareSet.h"

#include "GammaCurves.h"
#include "firmware/BitFile.h"
#include "firmware/BitstreamBuilder.h"
#include "firmware/BootImage.h"
#include "firmware/FlashImage.h"
#include "firmware/IntelHex.h"
#include "firmware/ProgramImage.h"

namespace firmwaregen {

namespace {

using boardsim::BitFile;
using boardsim::BitstreamBuilder;
using boardsim::BootImage;
using boardsim::FlashImage;
using boardsim::IntelHex;
using boardsim::ProgramImage;

constexpr std::size_t kRecordBytes = 16;

std::vector<uint8_t> stream(uint8_t major, uint8_t minor) {
    return BitstreamBuilder::release(major, minor).build();
}

std::string bitFile(uint8_t major, uint8_t minor) {
    const BitFile header{"camera_top.ncd;UserID=0xFFFFFFFF", "sim6s20", "2026/01/12", "09:30:00"};
    const std::vector<uint8_t> bytes = header.write(stream(major, minor));
    return std::string(bytes.begin(), bytes.end());
}

std::string flashImage(uint8_t major, uint8_t minor) {
    return IntelHex::write(FlashImage::padded(stream(major, minor)), 0, FlashImage::kRecordBytes);
}

// The controller program: a reset vector jumping to a main loop at 0x0200, a short start-up
// routine, and the device descriptor naming the version.
std::vector<BootImage::Record> program(uint16_t version) {
    const auto descriptor = ProgramImage::descriptor(version);
    return {
        {0x0000, {0x02, 0x02, 0x00}},  // LJMP 0x0200
        {0x0200,
         {0x75, 0x81, 0x5F,  // MOV SP, #0x5F
          0x90, 0xE6, 0x00,  // MOV DPTR, #0xE600
          0x74, 0x10, 0xF0,  // MOV A, #0x10; MOVX @DPTR, A
          0x80, 0xFE}},      // SJMP $
        {ProgramImage::kDescriptorAddress, {descriptor.begin(), descriptor.end()}},
    };
}

std::string programHex(uint16_t version) {
    std::string out;
    for (const BootImage::Record& record : program(version)) {
        const std::string part = IntelHex::write(record.data, record.address, kRecordBytes);
        // Every part but the last loses its end record.
        out += part.substr(0, part.rfind(':'));
    }
    return out + IntelHex::line({IntelHex::kEndOfFile, 0, {}}) + "\r\n";
}

std::string bootImage(uint16_t version) {
    BootImage image;
    image.deviceId = version;
    image.records = program(version);
    const std::vector<uint8_t> bytes = image.write();
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::vector<GeneratedFile> firmwareSet() {
    std::vector<GeneratedFile> files = {
        {"firmware/default.bit", bitFile(0x01, 0x30)},
        {"firmware/default.mcs", flashImage(0x01, 0x30)},
        {"firmware/default.hex", programHex(0x0107)},
        {"firmware/default.iic", bootImage(0x0107)},
        {"firmware/fpga_1_20.bit", bitFile(0x01, 0x20)},
        {"firmware/mcu_1_05.hex", programHex(0x0105)},
    };
    for (const int n : GammaCurves::numbers()) {
        files.push_back({"gamma/Lookup1024_" + std::to_string(n) + ".txt",
                         GammaCurves::typeZeroFile(GammaCurves::levels(n))});
    }
    return files;
}

}  // namespace firmwaregen
