// The register port of boards opened through the camera library: every transfer is a register
// access on the board's handle (request 0xA9, the I2C bridge).
#pragma once

#include "RegisterPort.h"

namespace hv {

class CxRegisterPort : public RegisterPort {
public:
    bool read(CamContext* handle, int slave, int reg, bool wide, int& value) override;
    bool write(CamContext* handle, int slave, int reg, bool wide, int value) override;
};

}  // namespace hv
