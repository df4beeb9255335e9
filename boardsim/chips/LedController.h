// What an LED controller chip drives on its outputs, for the parts of the board that the
// light reaches. Implemented by the PCA9633 and PCA9530 models.
#pragma once

#include <vector>

#include "i2c/I2cSlave.h"

namespace boardsim {

class LedController : public I2cSlave {
public:
    // One output pin. "On" means the output driver is active (an open-drain output sinks
    // current), as the chip's datasheet says "LED on"; what that does to the light is the
    // board's wiring.
    struct Channel {
        enum class State { Off, On, Pwm };
        State state = State::Off;
        double duty = 0.0;       // share of the time the driver is active: 0 Off, 1 On
        double frequency = 0.0;  // Hz of the pulse train while Pwm, else 0
    };

    // Every output, channel 0 first.
    virtual std::vector<Channel> outputs() const = 0;
    // Every register back to its power-on value.
    virtual void reset() = 0;
};

}  // namespace boardsim
