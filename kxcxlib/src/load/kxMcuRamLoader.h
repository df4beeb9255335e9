// Loads an Intel HEX program into the USB microcontroller's RAM (vendor request 0xA0) with its
// CPU held in reset (control register 0xE600), then releases the CPU: the new program starts,
// and the board leaves the bus and comes back as the program has it. A file with a damaged
// record is refused before the CPU is touched.
#pragma once

#include "kxCxApi.h"

struct CamContext;

class McuRamLoader {
public:
    static constexpr const char* kDefaultFile = "firmware/default.hex";
    static constexpr int kCpuControl = 0xE600;

    // Program bytes loaded, or -1 (no file, or a damaged one).
    static int load(CamContext* context, const char* fileName, CxProgressProc proc);
    // The progress step of the MCU loaders: 1024 characters, or a 200th of a file above 200 KiB.
    static long progressStep(long fileSize) {
        return fileSize / 1024 <= 200 ? 1024 : fileSize / 200;
    }
};
