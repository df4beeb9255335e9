// Finds the LED controller on a board's bus: the PCA9633 (I2C id 0x62) is asked first, then
// the PCA9530 (0x60). A chip has answered when a read of its register 0x00 or 0x01 got through
// and returned something else than 0xCD, which the board's I2C bridge returns when no part
// acknowledged.
#pragma once

#include "LedBus.h"

namespace hv {

class LedProbe {
public:
    // Controller numbers, as the LED page and its callers count them.
    static constexpr int kNone = -1;
    static constexpr int kPca9633 = 0;
    static constexpr int kPca9530 = 1;

    // The first controller that answers on bus, or kNone.
    static int find(LedBus& bus);

private:
    static bool answers(LedBus& bus, int chip);
};

}  // namespace hv
