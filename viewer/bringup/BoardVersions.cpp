#include "BoardVersions.h"

#include <kxCxApi.h>

namespace hv {

namespace {

int fpgaRegister(CamContext* handle, int reg) {
    int value = 0;
    if (readRegister(handle, BoardVersions::kFpgaSlave, reg, &value, 0) != 1) {
        return 0;
    }
    return value & 0xFF;
}

}  // namespace

int BoardVersions::fpgaMajor(CamContext* handle) {
    return fpgaRegister(handle, 1);
}

int BoardVersions::fpgaMinor(CamContext* handle) {
    return fpgaRegister(handle, 0);
}

int BoardVersions::fpga(CamContext* handle) {
    return 256 * fpgaMajor(handle) + fpgaMinor(handle);
}

int BoardVersions::mcu(CamContext* handle) {
    int version = 0;
    if (getMcuFirmwareVersion(handle, &version) < 0) {
        return 0;
    }
    return version & 0xFFFF;
}

}  // namespace hv
