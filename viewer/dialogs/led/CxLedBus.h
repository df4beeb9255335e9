// The LED bus of a board opened through the camera library: every transfer is a register access
// on the board's handle.
#pragma once

#include <kxCamContextHead.h>
#include "LedBus.h"

namespace hv {

class CxLedBus : public LedBus {
public:
    explicit CxLedBus(CamContext* handle) : m_handle(handle) {}

    bool read(int chip, int reg, int& value) override;
    void write(int chip, int reg, int value) override;

private:
    CamContext* m_handle;
};

}  // namespace hv
