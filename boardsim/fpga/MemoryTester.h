// The FPGA's memory tester: a pass writes a pattern byte into every byte lane of the frame
// memory and reads it back.
//
// Registers (slave 0x3C):
//   0x15 control: a write with bit 0 clear stops the tester and clears the status; a write with
//        bit 0 set arms it (status cleared).
//   0x3F pattern: stored; a write while the tester is armed runs one pass with that pattern.
//   0x46 status (read-only): bit 0 a pass ran to its end, bit 1 a word read back differed from
//        what the pass wrote. 0 while idle or armed.
// A pass ends within the register write that starts it: the status reads its result at once.
//
// Fault on demand: data line 3 of the frame memory stuck low. A pass whose pattern has bit 3 set
// reads back something else and reports the mismatch; other patterns pass.
#pragma once

#include <cstdint>

#include "chips/FpgaRegisterFile.h"

namespace boardsim {

class MemoryTester {
public:
    static constexpr uint8_t kRun = 0x01;
    static constexpr uint8_t kStatusDone = 0x01;
    static constexpr uint8_t kStatusMismatch = 0x02;
    static constexpr uint8_t kStuckDataLine = 0x08;

    // Installs the tester's hooks on the register file, which is borrowed.
    explicit MemoryTester(FpgaRegisterFile& fpga);

    void setStuckDataLine(bool stuck) { m_stuck = stuck; }
    bool stuckDataLine() const { return m_stuck; }

private:
    void control(uint8_t value);
    void pattern(uint8_t value);
    // What a memory byte written with value reads back.
    uint8_t readBack(uint8_t value) const;

    FpgaRegisterFile& m_fpga;
    bool m_stuck = false;
};

}  // namespace boardsim
