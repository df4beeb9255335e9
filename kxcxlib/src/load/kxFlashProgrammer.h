// Programs the FPGA's SPI configuration flash from an Intel-HEX style ".mcs" image through the SPI
// window: records of 16 data bytes, as auto-address-increment word programming from address 0
// (makers 0xBF) or 16-byte page programs at the record's address (maker 0x20). Only after an
// erase on the same handle, and only a file whose records are all sound.
#pragma once

#include <cstdint>

#include "kxCxApi.h"

struct CamContext;

class FlashProgrammer {
public:
    static constexpr const char* kDefaultFile = "firmware/default.mcs";
    static constexpr int kRecordBytes = 16;

    // Data bytes programmed; -1 not erased, cannot open or a damaged file, -2 cannot reopen, -5
    // a flash of another maker. *size receives the characters read (0 when not opened).
    static int program(CamContext* context, int* size, const char* fileName, CxProgressProc proc);

private:
    // The pairs of one data record as word programs (the first pair of the file starts at
    // address 0).
    static void programWords(CamContext* context, const uint8_t* data, bool& first);
    static void programPage(CamContext* context, const uint8_t* data, uint32_t address);
};
