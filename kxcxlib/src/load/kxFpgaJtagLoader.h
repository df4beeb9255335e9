// Configures the FPGA over its JTAG port (vendor request 0xD0) from a bitstream file: the whole
// file, bit order reversed per byte (the port shifts the least significant bit first), after the
// instruction preamble, in 64-byte transfers, then the start-up sequence and the done bit.
#pragma once

#include <cstdint>
#include <vector>

#include <kxCxApi.h>

struct CamContext;

class FpgaJtagLoader {
public:
    static constexpr const char* kDefaultFile = "firmware/default.bit";
    static constexpr int kChunk = 64;
    // Transfers in a row that succeed but move nothing before the load is given up: the board's
    // controller stopped taking data.
    static constexpr int kMaxIdleTransfers = 50;
    static constexpr uint8_t kDoneBit = 0x20;

    // Bytes sent when the FPGA reports done, else 0; the platform error of a failed transfer
    // negated (the load ends there). *size receives the bytes read from the file when it could be
    // opened.
    static int upload(CamContext* context, int* size, const char* fileName, CxProgressProc proc);

    // Every byte with its bit order reversed.
    static void reverseBits(std::vector<uint8_t>& bytes);
};
