// Erases the FPGA's whole SPI configuration flash through the SPI window, reading the status
// register three times on the way (protection cleared, write enabled, erase started), and polls
// until the flash is no longer busy. A flash of an unknown maker is refused before any write; a
// transfer that fails ends the erase, which then has not happened as far as the handle knows.
#pragma once

#include <cstdint>

#include <kxCxApi.h>

struct CamContext;
class SpiWindow;

class FlashEraser {
public:
    // 0 (and the handle's flash-erased flag set), -5 for a flash of another maker, or the
    // platform error of a failed transfer negated.
    static int erase(CamContext* context, uint16_t* status, CxProgressProc proc);
    // Reads the status register: byte 1 x 256 + byte 0 of the reply.
    static uint16_t readStatus(SpiWindow& window);
};
