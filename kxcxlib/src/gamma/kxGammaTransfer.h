// Moves gamma tables between the host and the FPGA's table slots (slot n at 0x00D00000 +
// n x 0x1000): after the busy/ready handshake, an upload names the slot in 0x6E-0x71, pulses
// 0x6D and writes the 4096 bytes on bulk OUT; a download names it in 0x63-0x66, sets the length
// code 0x67 = 0x08, pulses 0x61 and reads 4096 bytes on bulk IN.
#pragma once

#include <cstdint>

#include "gamma/kxGammaTableFile.h"

struct CamContext;

class GammaTransfer {
public:
    static constexpr uint32_t kSlotBase = 0x00D00000;
    static constexpr uint32_t kSlotSize = 0x1000;
    static constexpr int kBusy = -62;
    static constexpr int kNotReady = -63;

    // 0 when the FPGA is idle (0x60 reads 0) and ready (0x41 reads 1 within three reads), else
    // kBusy or kNotReady.
    static int handshake(CamContext* context);
    // The entry count of the table (GammaTableFile::build), kBusy, kNotReady, or the positive
    // platform error code of a failed bulk write.
    static int upload(CamContext* context, int number, const char* fileName, int type);
    // The bytes received (4096, or 0 when the read failed), kBusy or kNotReady. With table
    // non-null the bytes read land there.
    static int download(CamContext* context, int number, GammaTableFile::Table* table = nullptr);

    static uint32_t slotAddress(int number) {
        return kSlotBase + static_cast<uint32_t>(number) * kSlotSize;
    }
};
