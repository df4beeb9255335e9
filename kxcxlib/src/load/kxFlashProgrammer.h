// Programs the FPGA's SPI configuration flash from an Intel-HEX style ".mcs" image through the SPI
// window: records of 16 data bytes, as auto-address-increment word programming from address 0
// (makers 0xBF) or 16-byte page programs at the record's address (maker 0x20). Only after an
// erase on the same handle, and only an image read whole and found sound (every record, an
// end-of-file record), holding data and fitting the flash it identifies. A transfer that fails
// ends the programming.
#pragma once

#include <cstdint>
#include <string>

#include <kxCxApi.h>

struct CamContext;
class SpiWindow;

class FlashProgrammer {
public:
    static constexpr const char* kDefaultFile = "firmware/default.mcs";
    static constexpr int kRecordBytes = 16;

    // Data bytes programmed; -1 not erased, or a file refused (none, damaged, no end-of-file
    // record, no data, larger than the flash), -5 a flash of another maker, or the platform
    // error of a failed transfer negated. *size receives the characters read (0 when the file
    // was refused).
    static int program(CamContext* context, int* size, const char* fileName, CxProgressProc proc);

private:
    // The pairs of one data record as word programs (the first pair of the file starts at
    // address 0).
    static void programWords(SpiWindow& window, const uint8_t* data, bool& first);
    static void programPage(SpiWindow& window, const uint8_t* data, uint32_t address);
    // Logs why the image was refused; returns -1.
    static int refuse(const char* path, const std::string& reason);
};
