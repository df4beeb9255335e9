// The FPGA's SPI master for its configuration flash, seen through registers 0x80-0x94.
//
// A command is one register write ending at 0x94: the write starts at 0x94 - N with the N bytes
// to shift out in reverse order (the byte just below 0x94 goes out first), then the count N
// (1 to 20) in 0x94, which runs the command. Registers 0x80-0x93 keep what was written, so a
// later, shorter write may reuse bytes an earlier one left below it. Reads of the window return
// the bytes received during the last command instead of the stored ones: register 0x80 the last
// byte received, 0x81 the one before, and 0 beyond the command's length.
#pragma once

#include <cstdint>
#include <vector>

#include "chips/FpgaRegisterFile.h"
#include "chips/SpiFlash.h"

namespace boardsim {

class SpiWindow {
public:
    static constexpr uint8_t kRegCount = FpgaRegisterFile::kRegSpiWindowLast;
    static constexpr int kMaxBytes = kRegCount - FpgaRegisterFile::kRegSpiWindowFirst;

    // Installs the window's hooks on the register file; both parts are borrowed.
    SpiWindow(FpgaRegisterFile& fpga, SpiFlash& flash);

    // Power-on: nothing received yet.
    void powerOn() { m_received.clear(); }

    const std::vector<uint8_t>& received() const { return m_received; }

private:
    void run(uint8_t count);
    uint8_t readBack(uint8_t reg) const;

    FpgaRegisterFile& m_fpga;
    SpiFlash& m_flash;
    std::vector<uint8_t> m_received;
};

}  // namespace boardsim
