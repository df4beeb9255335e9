// The weights the sensor's exposure metering gives the 16 blocks of its window (a 4 x 4 grid,
// block = column + 4 × row), one pattern per metering mode, and their place in the sensor
// controller's registers 0x4288-0x428F: two 4-bit weights a register, block 2k in bits 0-3 and
// block 2k + 1 in bits 4-7 of register 0x4288 + k.
#pragma once

#include <array>

namespace hv {

class SensorRegisters;

class MeteringWeights {
public:
    // Metering modes, as the metering combo lists them.
    static constexpr int kSpot = 0;
    static constexpr int kCentreWeighted = 1;
    static constexpr int kMatrix = 2;

    static constexpr int kBlocks = 16;
    static constexpr int kRegisters = kBlocks / 2;
    static constexpr int kFirstRegister = 0x4288;
    // The weight of the block a spot metering looks at; every other block gets 0.
    static constexpr int kSpotWeight = 15;

    // The weights of a mode: spot gives spotBlock the spot weight; a mode not listed above (or a
    // spot block outside 0-15) weighs nothing.
    static std::array<int, kBlocks> of(int mode, int spotBlock);
    // The register bytes holding weights, register 0x4288 first.
    static std::array<int, kRegisters> registerBytes(const std::array<int, kBlocks>& weights);
    // Writes the weights of a mode to the eight registers; false when a write failed (the others
    // are written all the same).
    static bool write(SensorRegisters& sensor, int mode, int spotBlock);
};

}  // namespace hv
