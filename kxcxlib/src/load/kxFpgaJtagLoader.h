// Configures the FPGA over its JTAG port (vendor request 0xD0) from a bitstream file: the whole
// file, bit order reversed per byte (the port shifts the least significant bit first), after the
// instruction preamble, in 64-byte transfers, then the start-up sequence and the done bit.
#pragma once

#include <cstdint>
#include <vector>

#include "kxCxApi.h"

struct CamContext;

class FpgaJtagLoader {
public:
    static constexpr const char* kDefaultFile = "firmware/default.bit";
    static constexpr int kChunk = 64;
    // Transfers in a row that move nothing before the load is given up: the board stopped
    // taking data (it left the bus, or its controller hangs).
    static constexpr int kMaxIdleTransfers = 50;
    static constexpr uint8_t kDoneBit = 0x20;

    // Bytes sent when the FPGA reports done, else 0. *size receives the bytes read from the file
    // when it could be opened.
    static int upload(CamContext* context, int* size, const char* fileName, CxProgressProc proc);

    // Every byte with its bit order reversed.
    static void reverseBits(std::vector<uint8_t>& bytes);
    // The whole file, read in pieces of at most 1024 bytes; false when it cannot be opened.
    static bool readFile(const char* path, std::vector<uint8_t>& bytes);
};
