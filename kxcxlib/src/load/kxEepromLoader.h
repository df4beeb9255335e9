// Copies a boot image file byte for byte into the microcontroller's boot EEPROM (I2C slave 0x51
// with 16-bit addresses), 16 bytes a transfer.
#pragma once

#include "kxCxApi.h"

struct CamContext;

class EepromLoader {
public:
    static constexpr const char* kDefaultFile = "firmware/default.iic";
    static constexpr int kAddressWord = 0x151;
    static constexpr int kPiece = 16;
    // 16-bit offsets: a larger image would wrap round and overwrite its own start. (An EEPROM
    // smaller than the address range wraps at its own size, which the library cannot know;
    // kxcxctl reads the image back.)
    static constexpr long kMaxImage = 0x10000;

    // Bytes written, or -1 (no file, or one larger than the EEPROM's address range).
    static int write(CamContext* context, const char* fileName, CxProgressProc proc);
};
