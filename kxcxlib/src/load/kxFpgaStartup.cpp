#include "kxFpgaStartup.h"

#include "kxRegisterAccess.h"
#include "kxVendorRequest.h"

namespace {
constexpr int kRegMinor = 0x00;
constexpr int kRegMajor = 0x01;
constexpr int kRegStart = 0x40;
constexpr int kRegReady = 0x41;
constexpr int kRegTransferReset = 0x60;
constexpr int kReadyReads = 3;
constexpr int kFpga = RegisterAccess::kSlaveFpga;
}  // namespace

int FpgaStartup::init(CamContext* context) {
    const int minor = RegisterAccess::readOrZero(context, kFpga, kRegMinor, false);
    const int major = RegisterAccess::readOrZero(context, kFpga, kRegMajor, false);
    if (minor == 0 && major == 0) {
        return kNoFpga;
    }
    RegisterAccess::write(context, kFpga, kRegStart, 0x01, false);
    bool ready = false;
    for (int i = 0; i < kReadyReads && !ready; ++i) {
        ready = RegisterAccess::readOrZero(context, kFpga, kRegReady, false) == 1;
    }
    if (!ready) {
        return kNotReady;
    }
    RegisterAccess::write(context, kFpga, kRegTransferReset, 0x01, false);
    RegisterAccess::write(context, kFpga, kRegTransferReset, 0x00, false);
    return 0;
}

int FpgaStartup::mcuVersion(CamContext* context, int* version) {
    uint8_t reply[2] = {};
    VendorRequest::in(context, VendorRequest::kRequestVersion, 0, 0, reply, 2);
    if (version != nullptr) {
        *version = reply[1] << 8 | reply[0];
    }
    return 0;
}
