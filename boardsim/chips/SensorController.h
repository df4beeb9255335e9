// The image sensor's controller as the I2C bus sees it (slave 0x35, SCCB): 16-bit register
// addresses sent high byte first, then data bytes; reads and writes of several bytes go on at
// the next address. The register map below is what this board's software uses; any other
// address reads 0 and keeps what is written, and is reported once as a guest error.
#pragma once

#include <cstdint>
#include <map>
#include <span>

#include "i2c/I2cSlave.h"
#include "log/GuestLog.h"

namespace boardsim {

class SensorController : public I2cSlave {
public:
    // Register map with reset values ("ro": read-only).
    static constexpr uint16_t kRegDvpControl = 0x3003;     // bit 5: DVP pixel clock running
    static constexpr uint16_t kRegSystemControl = 0x3008;  // bit 7 soft reset, bit 6 ISP reset
    static constexpr uint16_t kRegSignalWeight = 0x3100;   // 0x35 weight 0, 0x75 weight 1
    static constexpr uint16_t kRegStableInHigh = 0x350F;   // AEC stable-in band, high limit
    static constexpr uint16_t kRegStableInLow = 0x3510;    // AEC stable-in band, low limit
    static constexpr uint16_t kRegStableOutHigh = 0x351B;  // AEC stable-out band, high limit
    static constexpr uint16_t kRegStableOutLow = 0x351E;   // AEC stable-out band, low limit
    static constexpr uint16_t kRegExposureHigh = 0x3601;   // manual exposure bits 8-12
    static constexpr uint16_t kRegExposureLow = 0x3602;    // manual exposure bits 0-7
    static constexpr uint16_t kRegAecAgcManual = 0x3603;   // bit 0 manual exposure, 1 manual gain
    static constexpr uint16_t kRegGainHigh = 0x3608;       // manual gain bits 8-9
    static constexpr uint16_t kRegGainLow = 0x3609;        // manual gain bits 0-7 (x/16 + 1)
    static constexpr uint16_t kRegIspControl = 0x4000;     // bit 4 AWB on, bit 3 gains on
    static constexpr uint16_t kRegColourBars = 0x4001;     // 1: colour bars of the sensor path
    static constexpr uint16_t kRegAwbControl = 0x4100;     // bit 2 AWB first, 3 manual, 6 fast
    static constexpr uint16_t kRegRedGainHigh = 0x4106;    // colour gains, 12 bits each:
    static constexpr uint16_t kRegRedGainLow = 0x4107;     //   high register bits 8-11,
    static constexpr uint16_t kRegGreenGainHigh = 0x4108;  //   low register bits 0-7;
    static constexpr uint16_t kRegGreenGainLow = 0x4109;   //   0x400 is a gain of 1
    static constexpr uint16_t kRegBlueGainHigh = 0x410A;
    static constexpr uint16_t kRegBlueGainLow = 0x410B;
    static constexpr uint16_t kRegWindowStartXHigh = 0x4280;  // metering window, field pixels:
    static constexpr uint16_t kRegWindowStartXLow = 0x4281;   //   start and end X and Y,
    static constexpr uint16_t kRegWindowEndXHigh = 0x4282;    //   high byte first
    static constexpr uint16_t kRegWindowEndXLow = 0x4283;
    static constexpr uint16_t kRegWindowStartYHigh = 0x4284;
    static constexpr uint16_t kRegWindowStartYLow = 0x4285;
    static constexpr uint16_t kRegWindowEndYHigh = 0x4286;
    static constexpr uint16_t kRegWindowEndYLow = 0x4287;
    static constexpr uint16_t kRegWeightsFirst = 0x4288;      // 0x4288-0x428F: 4-bit weights of
    static constexpr uint16_t kRegWeightsLast = 0x428F;       //   blocks 2k (low), 2k+1 (high)
    static constexpr uint16_t kRegAverageIntensity = 0x4293;  // ro, mean brightness in the window

    // Writing this bit of the system control register resets every register (the bit reads 0).
    static constexpr uint8_t kSystemSoftReset = 0x80;

    struct Register {
        uint16_t address;
        uint8_t resetValue;
        bool readOnly;
    };
    // The known registers in address order.
    static std::span<const Register> registers();
    static const Register* find(uint16_t address);

    SensorController();

    void event(Event event) override;
    bool send(uint8_t byte) override;
    uint8_t recv() override;

    // Every register back to its reset value; written unknown registers are forgotten.
    void reset();

    // The board's side, without access checks: the value a read would give, and a change.
    uint8_t peek(uint16_t address) const;
    void poke(uint16_t address, uint8_t value) { m_values[address] = value; }

    const GuestLog& guestLog() const { return m_log; }

private:
    std::map<uint16_t, uint8_t> m_values;
    uint16_t m_pointer = 0;
    int m_addressBytesSeen = 0;
    bool m_writing = false;
    GuestLog m_log{"sensor-controller"};

    void reportUnknown(uint16_t address);
    void restoreRegisters();
};

}  // namespace boardsim
