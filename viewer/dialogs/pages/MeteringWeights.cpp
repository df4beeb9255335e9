#include "MeteringWeights.h"

#include "SensorRegisters.h"

namespace hv {

namespace {

using Weights = std::array<int, MeteringWeights::kBlocks>;

// Rows of the grid, top row first.
constexpr Weights kCentreWeights = {
    0, 0, 0, 0,  //
    0, 1, 1, 0,  //
    0, 1, 1, 0,  //
    0, 0, 0, 0,
};
constexpr Weights kMatrixWeights = {
    0, 1, 1, 0,  //
    1, 2, 2, 1,  //
    1, 2, 2, 1,  //
    0, 1, 1, 0,
};

constexpr int kNibble = 0x0F;

}  // namespace

std::array<int, MeteringWeights::kBlocks> MeteringWeights::of(int mode, int spotBlock) {
    switch (mode) {
        case kSpot: {
            Weights weights{};
            if (spotBlock >= 0 && spotBlock < kBlocks) {
                weights[static_cast<std::size_t>(spotBlock)] = kSpotWeight;
            }
            return weights;
        }
        case kCentreWeighted:
            return kCentreWeights;
        case kMatrix:
            return kMatrixWeights;
        default:
            return Weights{};
    }
}

std::array<int, MeteringWeights::kRegisters> MeteringWeights::registerBytes(
    const std::array<int, kBlocks>& weights) {
    std::array<int, kRegisters> bytes{};
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        bytes[k] = (weights[2 * k] & kNibble) | (weights[2 * k + 1] & kNibble) << 4;
    }
    return bytes;
}

bool MeteringWeights::write(SensorRegisters& sensor, int mode, int spotBlock) {
    const std::array<int, kRegisters> bytes = registerBytes(of(mode, spotBlock));
    bool written = true;
    for (int k = 0; k < kRegisters; ++k) {
        written = sensor.write(kFirstRegister + k, bytes[static_cast<std::size_t>(k)]) && written;
    }
    return written;
}

}  // namespace hv
