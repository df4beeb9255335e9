#include "acq/kxFpgaLayout.h"

#include "regs/kxRegisterAccess.h"

FpgaLayout::Version FpgaLayout::readVersion(CamContext* context) {
    Version version;
    version.major = read(context, kRegMajor);
    version.minor = read(context, kRegMinor);
    return version;
}

int FpgaLayout::write(CamContext* context, int reg, int value) {
    return RegisterAccess::write(context, RegisterAccess::kSlaveFpga, reg, value, false);
}

int FpgaLayout::read(CamContext* context, int reg) {
    return RegisterAccess::readOrZero(context, RegisterAccess::kSlaveFpga, reg, false);
}
