// Builds a configuration stream (BitstreamFormat.h) for the board's FPGA: padding, sync, the
// IDCODE and version writes, one configuration's frame data, the CRC, start-up and desync.
#pragma once

#include <cstdint>
#include <vector>

namespace boardsim {

struct BitstreamBuilder {
    uint8_t versionMajor = 0x01;
    uint8_t versionMinor = 0x30;
    uint32_t idcode = 0;  // 0: the board's default IDCODE
    // Seeds the frame data (the design's content; the same seed gives the same frames).
    uint32_t seed = 1;

    std::vector<uint8_t> build() const;
};

}  // namespace boardsim
