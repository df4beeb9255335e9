#include "load/kxFpgaStartup.h"

#include <cerrno>

#include "acq/kxFpgaLayout.h"
#include "load/kxVendorRequest.h"

namespace {
constexpr int kRegStart = 0x40;
constexpr int kRegReady = 0x41;
constexpr int kReadyReads = 3;
}  // namespace

int FpgaStartup::init(CamContext* context) {
    // Minor first, then major.
    const int minor = FpgaLayout::read(context, FpgaLayout::kRegMinor);
    const int major = FpgaLayout::read(context, FpgaLayout::kRegMajor);
    if (minor == 0 && major == 0) {
        return kNoFpga;
    }
    FpgaLayout::write(context, kRegStart, 0x01);
    if (!ready(context)) {
        return kNotReady;
    }
    FpgaLayout::write(context, FpgaLayout::kRegStreamReset, 0x01);
    FpgaLayout::write(context, FpgaLayout::kRegStreamReset, 0x00);
    return 0;
}

bool FpgaStartup::ready(CamContext* context) {
    for (int i = 0; i < kReadyReads; ++i) {
        if (FpgaLayout::read(context, kRegReady) == 1) {
            return true;
        }
    }
    return false;
}

int FpgaStartup::mcuVersion(CamContext* context, int* version) {
    uint8_t reply[2] = {};
    if (const int got = VendorRequest::in(context, VendorRequest::kRequestVersion, 0, 0, reply, 2);
        got != 2) {
        // A version read from a failed transfer would be 0.00 and pass for old firmware.
        return got < 0 ? got : -EIO;
    }
    if (version != nullptr) {
        *version = reply[1] << 8 | reply[0];
    }
    return 0;
}
