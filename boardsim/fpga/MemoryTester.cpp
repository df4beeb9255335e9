#include "MemoryTester.h"

namespace boardsim {

namespace {

using Fpga = FpgaRegisterFile;

}  // namespace

MemoryTester::MemoryTester(FpgaRegisterFile& fpga) : m_fpga(fpga) {
    fpga.setWriteHook(Fpga::kRegMemTestControl, [this](uint8_t, uint8_t value) { control(value); });
    fpga.setWriteHook(Fpga::kRegMemTestPattern, [this](uint8_t, uint8_t value) { pattern(value); });
}

void MemoryTester::control(uint8_t value) {
    m_fpga.poke(Fpga::kRegMemTestControl, value);
    m_fpga.poke(Fpga::kRegMemTestStatus, 0);
}

void MemoryTester::pattern(uint8_t value) {
    m_fpga.poke(Fpga::kRegMemTestPattern, value);
    if ((m_fpga.peek(Fpga::kRegMemTestControl) & kRun) == 0) {
        return;
    }
    // Every byte of the memory holds the same pattern, so one read-back stands for all of them.
    const bool mismatch = readBack(value) != value;
    m_fpga.poke(Fpga::kRegMemTestStatus,
                static_cast<uint8_t>(kStatusDone | (mismatch ? kStatusMismatch : 0)));
}

uint8_t MemoryTester::readBack(uint8_t value) const {
    return m_stuck ? static_cast<uint8_t>(value & ~kStuckDataLine) : value;
}

}  // namespace boardsim
