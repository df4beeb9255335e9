// LM75 digital temperature sensor (9-bit, 0.5 °C steps). The first byte of a write is the
// pointer (0 temperature, 1 configuration, 2 THYST, 3 TOS); two-byte registers travel most
// significant byte first, and a longer read repeats the register. The pointer does not advance.
// Temperatures are two's complement in bits 15-7 (bit 7 = 0.5 °C).
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "i2c/I2cSlave.h"
#include "log/GuestLog.h"

namespace boardsim {

class Lm75 : public I2cSlave {
public:
    static constexpr uint8_t kRegTemperature = 0x00;  // read-only
    static constexpr uint8_t kRegConfiguration = 0x01;
    static constexpr uint8_t kRegHysteresis = 0x02;  // THYST
    static constexpr uint8_t kRegOvertemp = 0x03;    // TOS

    static constexpr uint8_t kResetConfiguration = 0x00;
    static constexpr uint16_t kResetHysteresis = 0x4B00;  // 75 °C
    static constexpr uint16_t kResetOvertemp = 0x5000;    // 80 °C
    static constexpr uint8_t kConfigurationShutdown = 0x01;
    static constexpr uint8_t kConfigurationWritable = 0x1F;  // bits 5-7 reserved

    // thermometer: the die temperature in °C at the moment of a conversion.
    explicit Lm75(std::function<double()> thermometer);

    void event(Event event) override;
    bool send(uint8_t byte) override;
    uint8_t recv() override;

    void reset();

    // The 16-bit register value for a temperature, rounded down to 0.5 °C and limited to the
    // part's range of -55 to 125 °C.
    static uint16_t encode(double celsius);

    const GuestLog& guestLog() const { return m_log; }

private:
    std::function<double()> m_thermometer;
    uint16_t m_temperature = 0;  // last conversion
    uint8_t m_configuration = kResetConfiguration;
    uint16_t m_hysteresis = kResetHysteresis;
    uint16_t m_overtemp = kResetOvertemp;
    uint8_t m_pointer = kRegTemperature;
    int m_bytesSeen = 0;  // of the current write, pointer included; of the current read
    bool m_writing = false;
    GuestLog m_log{"lm75"};

    uint16_t* wideRegister(uint8_t reg);
};

}  // namespace boardsim
