// The configuration stream of the board's FPGA: what follows the file header of a ".bit" file
// and what the FPGA's configuration engine takes (ConfigurationEngine), most significant byte
// of each 32-bit word first.
//
//   padding (0xFFFFFFFF words, anything before the sync word is ignored)
//   0xAA995566                     sync word
//   packets                        type 1: 001 op(2) 0... reg(5, bits 13-17) count(11, bits 0-10)
//                                  type 2: 010 op(2) count(27), for the register of the type 1
//                                  packet before it
//                                  op 0 no operation (count 0), op 2 write
//
// Registers, each write carrying count words:
//   kRegCrc      a CRC-32C over every word written since the last RCRC command, each word as
//                its 4 bytes (most significant first) followed by its register number; a
//                mismatch is a configuration error
//   kRegFdri     frame data: exactly kFrameWords words per configuration, after the WCFG command
//   kRegCmd      kCmdRcrc resets the CRC, kCmdWcfg allows frame data, kCmdStart arms the
//                start-up sequence, kCmdDesync ends the stream
//   kRegIdcode   must equal the device's IDCODE
//   kRegVersion  the design's version: major << 8 | minor (registers 1 and 0 of the design's
//                register file)
#pragma once

#include <cstdint>

namespace boardsim::bitstream {

constexpr uint32_t kSyncWord = 0xAA995566;
constexpr uint32_t kPadWord = 0xFFFFFFFF;
constexpr uint32_t kNoop = 0x20000000;

constexpr uint32_t kTypeShift = 29;
constexpr uint32_t kOpShift = 27;
constexpr uint32_t kOpMask = 0x3;
constexpr uint32_t kOpNoop = 0;
constexpr uint32_t kOpWrite = 2;
constexpr uint32_t kRegShift = 13;
constexpr uint32_t kRegMask = 0x1F;
constexpr uint32_t kType1CountMask = 0x7FF;
constexpr uint32_t kType2CountMask = 0x07FFFFFF;

constexpr uint32_t kRegCrc = 0x00;
constexpr uint32_t kRegFdri = 0x02;
constexpr uint32_t kRegCmd = 0x04;
constexpr uint32_t kRegIdcode = 0x0C;
constexpr uint32_t kRegVersion = 0x0D;

constexpr uint32_t kCmdWcfg = 0x01;
constexpr uint32_t kCmdStart = 0x05;
constexpr uint32_t kCmdRcrc = 0x07;
constexpr uint32_t kCmdDesync = 0x0D;

// Configuration frame words of the board's FPGA (16 KiB of frame data).
constexpr uint32_t kFrameWords = 4096;
// IDCODE of the board's FPGA unless its configuration names another.
constexpr uint32_t kDefaultIdcode = 0x0A51C0DD;

constexpr uint32_t type1(uint32_t op, uint32_t reg, uint32_t count) {
    return 1u << kTypeShift | op << kOpShift | reg << kRegShift | count;
}
constexpr uint32_t type2(uint32_t op, uint32_t count) {
    return 2u << kTypeShift | op << kOpShift | count;
}

}  // namespace boardsim::bitstream
