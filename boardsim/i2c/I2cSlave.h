// A part on the board's I2C bus. The bus master drives it through three entry points.
#pragma once

#include <cstdint>

namespace boardsim {

class I2cSlave {
public:
    enum class Event {
        StartSend,  // addressed for writing (start or repeated start)
        StartRecv,  // addressed for reading
        Finish,     // stop condition
    };

    virtual ~I2cSlave() = default;

    virtual void event(Event event) = 0;
    // A byte from the master; false answers NACK.
    virtual bool send(uint8_t byte) = 0;
    // The next byte for the master.
    virtual uint8_t recv() = 0;
};

}  // namespace boardsim
