// A design's configuration stream as the FPGA's configuration flash holds it, and the ".mcs"
// records (IntelHex) that carry it: kRecordBytes data bytes a record from address 0, the last
// record padded with 0xFF (an erased flash's bytes).
//
// The host's flash programmer writes whole records only, each family its own way: the 0xBF
// family (auto-address-increment words) gets the records' data one after another from address
// 0, whatever their addresses; the other families (page programs) get each record at its
// address. For records that run on from address 0 both give the same array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "IntelHex.h"
#include "config/BoardConfig.h"

namespace boardsim {

struct FlashImage {
    static constexpr std::size_t kRecordBytes = 16;

    // The stream padded with 0xFF to whole records.
    static std::vector<uint8_t> padded(std::span<const uint8_t> stream);
    // The records of a stream, from address 0.
    static std::vector<IntelHex::Chunk> records(std::span<const uint8_t> stream);
    // The flash's array from address 0 to the last byte programmed after the programmer wrote
    // the records into an erased flash of that family (unwritten bytes in between read 0xFF).
    static std::vector<uint8_t> programmed(std::span<const IntelHex::Chunk> records,
                                           FlashFamily family);
};

}  // namespace boardsim
