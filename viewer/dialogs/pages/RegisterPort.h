// How the hardware pages reach a board's parts: one register byte of an I2C part at a time,
// through the board's handle. The pages go through the camera library (CxRegisterPort) unless
// they are given another port, which passes the transfers on (tests note them that way).
#pragma once

#include <kxCamContextHead.h>

namespace hv {

class RegisterPort {
public:
    virtual ~RegisterPort() = default;

    // Reads register reg of the part at I2C address slave into value (the low byte of what the
    // board answered); wide: 16-bit register addresses. False when the transfer failed; value is
    // then 0.
    virtual bool read(CamContext* handle, int slave, int reg, bool wide, int& value) = 0;
    // Writes one byte; false when the transfer failed.
    virtual bool write(CamContext* handle, int slave, int reg, bool wide, int value) = 0;
};

}  // namespace hv
