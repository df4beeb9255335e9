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

    // The released design of a version, as its vendor ships it: its frames seeded by the
    // version, so every image of one version holds the same stream.
    static BitstreamBuilder release(uint8_t major, uint8_t minor, uint32_t idcode = 0);

    std::vector<uint8_t> build() const;
};

}  // namespace boardsim
