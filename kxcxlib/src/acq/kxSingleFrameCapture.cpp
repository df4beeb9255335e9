#include "acq/kxSingleFrameCapture.h"

#include <cstdint>

#include "acq/kxFpgaLayout.h"
#include "acq/kxFrameReader.h"
#include "device/kxCamContext.h"

int SingleFrameCapture::capture(CamContext& context, void* dest) {
    const FpgaLayout::Version version = FpgaLayout::readVersion(&context);
    const bool packets = FpgaLayout::capturePacketLayout(version);
    const int bank = FpgaLayout::read(&context, FpgaLayout::kRegNewestBank) & 3;
    const auto& address = FpgaLayout::kBankAddress[static_cast<std::size_t>(bank)];
    for (int i = 0; i < 4; ++i) {
        FpgaLayout::write(&context, FpgaLayout::kRegBankAddress + i,
                          address[static_cast<std::size_t>(i)]);
    }
    const FpgaLayout::Length& length =
        packets ? FpgaLayout::kPacketLength : FpgaLayout::kWordLength;
    for (int i = 0; i < 3; ++i) {
        FpgaLayout::write(&context, FpgaLayout::kRegLength + i,
                          length[static_cast<std::size_t>(i)]);
    }
    FpgaLayout::write(&context, FpgaLayout::kRegStart, 0);
    FpgaLayout::write(&context, FpgaLayout::kRegStart, 1);
    context.lastReadResult = FrameReader::read(context, static_cast<uint8_t*>(dest));
    return context.lastReadResult;
}
