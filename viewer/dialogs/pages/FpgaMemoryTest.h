// The FPGA's memory test, run from the host through the FPGA's memory tester (registers 0x15
// control, 0x3F pattern, 0x46 status).
//
// One pass per pattern, in order:
//   1. 0x15 = 0: the tester stops and clears its status.
//   2. Read 0x46: it must read 0, or the tester did not stop (or the read failed).
//   3. 0x15 = 1: armed.
//   4. 0x3F = the pattern: the tester writes it into every byte of the frame memory and reads
//      it back.
//   5. Read 0x46 until bit 0 (the pass ran to its end) is set, for at most kPassTime; bit 1
//      (a byte read back differed) fails the test, and so does a pass that does not end in time
//      or a status that cannot be read.
// The patterns are all zeros, all ones, the two alternating patterns and a walking one through
// the eight bits: each data line is seen both low and high, next to a neighbour of the other
// level, and alone. The test passes when every pass ends without a mismatch. After the last pass,
// a failure or a cancel the tester is stopped (0x15 = 0).
//
// Run time is bounded: 12 passes of at most kPassTime each, plus their register transfers.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>

#include <kxCamContextHead.h>

namespace hv {

class FpgaMemoryTest {
public:
    enum class Result { Passed, Failed, Aborted };

    static constexpr std::array<uint8_t, 12> kPatterns = {0x00, 0xFF, 0x55, 0xAA, 0x01, 0x02,
                                                          0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    static constexpr std::chrono::milliseconds kPassTime{250};
    static constexpr int kProgressEnd = 100;

    // progress gets 0 before the first pass and the share of passes done (up to kProgressEnd)
    // after each; it returns false to stop the test (Aborted).
    using Progress = std::function<bool(int value)>;

    FpgaMemoryTest() = delete;

    static Result run(CamContext* handle, const Progress& progress);
};

}  // namespace hv
