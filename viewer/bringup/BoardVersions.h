// The firmware versions of an open board: the FPGA's (major in register 1, minor in register 0 of
// slave 0x3C) and the USB controller's (high byte major, low byte minor). A read that fails
// gives 0 for its part.
#pragma once

#include <kxCamContextHead.h>

namespace hv {

class BoardVersions {
public:
    static constexpr int kFpgaSlave = 0x3C;

    static int fpgaMajor(CamContext* handle);
    static int fpgaMinor(CamContext* handle);
    // 256 x major + minor.
    static int fpga(CamContext* handle);
    static int mcu(CamContext* handle);
};

}  // namespace hv
