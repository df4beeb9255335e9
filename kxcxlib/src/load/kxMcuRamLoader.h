// Loads an Intel HEX program into the USB microcontroller's RAM (vendor request 0xA0) with its
// CPU held in reset (control register 0xE600), then releases the CPU: the new program starts,
// and the board leaves the bus and comes back as the program has it. A file that is no sound
// program for the controller's RAM (a damaged record, no end-of-file record, no data, data
// outside the program RAM) is refused before the CPU is touched. A transfer that fails ends the
// load with the CPU left held, so no half-loaded program runs.
#pragma once

#include <kxCxApi.h>

struct CamContext;

class McuRamLoader {
public:
    static constexpr const char* kDefaultFile = "firmware/default.hex";
    static constexpr int kCpuControl = 0xE600;

    // Program bytes loaded, -1 (no file, or one refused), or the platform error of a failed
    // transfer negated.
    static int load(CamContext* context, const char* fileName, CxProgressProc proc);
    // The progress step of the MCU loaders: 1024 characters, or a 200th of a file above 200 KiB.
    static long progressStep(long fileSize) {
        return fileSize / 1024 <= 200 ? 1024 : fileSize / 200;
    }
};
