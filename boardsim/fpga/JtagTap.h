// The FPGA's JTAG port as the USB controller drives it (vendor request 0xD0, wValue =
// operation << 8 | operand, wIndex 0). The controller shifts least significant bit first, so
// the bytes of a data shift arrive with their bit order reversed; the port puts it back before
// the configuration engine sees them.
//
// Operations:
//   0x3C IN   reset the TAP (Test-Logic-Reset): the instruction becomes IDCODE. Reply: 1 byte,
//             the instruction capture (below).
//   0xF0 IN   load the instruction register with the operand. Reply: 1 byte, the instruction
//             capture: 0x01 | 0x10 while the configuration has not failed | 0x20 done.
//   0x0F IN   shift the data register out (length bytes, first byte first): IDCODE's 32-bit code
//             low byte first, zeros for the others.
//   0x0F OUT  shift the data bytes in; operand 0xF0 first piece (the TAP enters Shift-DR),
//             0x00 a later piece, 0x0F the last piece (the TAP leaves Shift-DR for Run-Test/
//             Idle). With CFG_IN loaded the bytes go to the configuration engine. Reply: the
//             number of bytes taken. A later or last piece while the TAP is not in Shift-DR (no
//             first piece since the last one ended, or an instruction loaded since) takes
//             nothing and replies 0.
//   0xAA OUT  the operand's number of clocks in Run-Test/Idle, no data. With JSTART loaded and
//             at least kStartupClocks clocks the start-up sequence runs: done is set when the
//             engine holds a complete, valid configuration.
// Instructions: 0x09 IDCODE, 0x3F BYPASS, 0x0B JPROGRAM (clears the configuration: done clear;
// the engine starts over), 0x05 CFG_IN (a new stream: the engine starts over), 0x0C JSTART.
// Other operations stall.
//
// Fault on demand: stalled, every 0x0F OUT transfer takes nothing and replies 0 (the TAP's state
// does not change).
#pragma once

#include <cstdint>
#include <functional>

#include "ConfigurationEngine.h"
#include "usb/SetupPacket.h"

namespace boardsim {

class JtagTap {
public:
    static constexpr uint8_t kRequest = 0xD0;
    static constexpr uint8_t kOpReset = 0x3C;
    static constexpr uint8_t kOpInstruction = 0xF0;
    static constexpr uint8_t kOpShift = 0x0F;
    static constexpr uint8_t kOpIdle = 0xAA;

    static constexpr uint8_t kInstrCfgIn = 0x05;
    static constexpr uint8_t kInstrIdcode = 0x09;
    static constexpr uint8_t kInstrJprogram = 0x0B;
    static constexpr uint8_t kInstrJstart = 0x0C;
    static constexpr uint8_t kInstrBypass = 0x3F;

    static constexpr uint8_t kCaptureFixed = 0x01;
    static constexpr uint8_t kCaptureInit = 0x10;
    static constexpr uint8_t kCaptureDone = 0x20;
    static constexpr int kStartupClocks = 12;

    // What the port does to the FPGA: clear its configuration, and start the design a complete
    // configuration carried (its version).
    struct Fabric {
        std::function<void()> clear;
        std::function<void(uint16_t version)> start;
    };

    // The FPGA starts unconfigured (see powerOn).
    JtagTap(uint32_t idcode, Fabric fabric);

    // A request 0xD0: the bytes transferred or -EPIPE.
    int handle(const SetupPacket& setup, uint8_t* data);

    // The board powers up: the TAP in Test-Logic-Reset (IDCODE), nothing shifted in; done:
    // whether the FPGA configured itself (from its flash).
    void powerOn(bool done);

    bool done() const { return m_done; }
    uint8_t instruction() const { return m_instruction; }
    bool shifting() const { return m_shifting; }
    const ConfigurationEngine& engine() const { return m_engine; }

    void setStalled(bool stalled) { m_stalled = stalled; }
    bool stalled() const { return m_stalled; }

    static uint8_t reverseBits(uint8_t byte);

private:
    uint8_t capture() const;
    void load(uint8_t instruction);
    int shiftIn(const SetupPacket& setup, const uint8_t* data);
    int shiftOut(const SetupPacket& setup, uint8_t* data) const;

    const uint32_t m_idcode;
    Fabric m_fabric;
    ConfigurationEngine m_engine;
    uint8_t m_instruction = kInstrIdcode;
    bool m_done;
    bool m_shifting = false;
    bool m_stalled = false;
};

}  // namespace boardsim
