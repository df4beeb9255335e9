// Copies a boot image file byte for byte into the microcontroller's boot EEPROM (I2C slave 0x51
// with 16-bit addresses), 16 bytes a transfer. Only a file that is a boot image (BootImageFile:
// header, records in the program RAM, the last record starting the CPU, within the EEPROM's
// 16-bit addresses) is written; a transfer that fails ends the copy. An EEPROM smaller than the
// address range wraps at its own size, which the library cannot know; kxcxctl reads the image
// back.
#pragma once

#include <kxCxApi.h>

struct CamContext;

class EepromLoader {
public:
    static constexpr const char* kDefaultFile = "firmware/default.iic";
    static constexpr int kAddressWord = 0x151;
    static constexpr int kPiece = 16;

    // Bytes written, -1 (no file, or one that is no boot image), or the platform error of a
    // failed transfer negated.
    static int write(CamContext* context, const char* fileName, CxProgressProc proc);
};
