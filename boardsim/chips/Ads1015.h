// ADS1015 12-bit, four-input analog-to-digital converter. The first byte of a write is the
// pointer (0 conversion, 1 configuration, 2 low threshold, 3 high threshold); every register is
// 16 bits, most significant byte first, and a longer read repeats it. Conversions finish at
// once: in single-shot mode writing OS = 1 converts the selected input once; in continuous mode
// the conversion register always holds the selected input. Results are left-justified
// (bits 15-4, two's complement) against the full scale that the PGA bits choose.
#pragma once

#include <array>
#include <cstdint>

#include "i2c/I2cSlave.h"
#include "log/GuestLog.h"

namespace boardsim {

class Ads1015 : public I2cSlave {
public:
    static constexpr uint8_t kRegConversion = 0x00;  // read-only
    static constexpr uint8_t kRegConfig = 0x01;
    static constexpr uint8_t kRegLowThreshold = 0x02;
    static constexpr uint8_t kRegHighThreshold = 0x03;

    static constexpr uint16_t kResetConversion = 0x0000;
    // OS idle, AIN0-AIN1, +-2.048 V, single-shot, 1600 SPS, comparator off.
    static constexpr uint16_t kResetConfig = 0x8583;
    static constexpr uint16_t kResetLowThreshold = 0x8000;
    static constexpr uint16_t kResetHighThreshold = 0x7FFF;

    static constexpr uint16_t kConfigOs = 0x8000;  // write 1: start; read 1: idle
    static constexpr int kConfigMuxShift = 12;     // 3 bits
    static constexpr int kConfigPgaShift = 9;      // 3 bits
    static constexpr uint16_t kConfigSingleShot = 0x0100;

    static constexpr int kInputCount = 4;

    Ads1015();

    void event(Event event) override;
    bool send(uint8_t byte) override;
    uint8_t recv() override;

    void reset();

    // The voltage on input AINn (n 0-3), against ground.
    void setInput(int n, double volts);
    // What the converter gives for its current configuration.
    uint16_t convert() const;
    // The full scale in volts of a PGA setting (0-7).
    static double fullScale(int pga);

    const GuestLog& guestLog() const { return m_log; }

private:
    std::array<double, kInputCount> m_inputs{};
    uint16_t m_conversion = kResetConversion;
    uint16_t m_config = kResetConfig;
    uint16_t m_lowThreshold = kResetLowThreshold;
    uint16_t m_highThreshold = kResetHighThreshold;
    uint8_t m_pointer = kRegConversion;
    int m_bytesSeen = 0;
    uint8_t m_pendingHigh = 0;
    GuestLog m_log{"ads1015"};

    uint16_t readValue() const;
    void writeValue(uint16_t value);
};

}  // namespace boardsim
