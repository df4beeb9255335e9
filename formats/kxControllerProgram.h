// A program for the board's USB controller as its RAM loader takes it: an Intel HEX image whose
// data records all lie in the controller's program RAM (0x0000-0x3FFF). The CPU control
// register at 0xE600 is the loader's to write, never the program's.
#pragma once

#include <cstdint>
#include <string>

#include "kxIntelHexImage.h"

class ControllerProgram {
public:
    static constexpr uint32_t kRamBytes = 0x4000;

    // Why the image is no program for the controller ("it holds no data", "line 5 writes
    // 0x4000-0x4002, outside the controller's program RAM (0x0000-0x3FFF)"); empty when it is one.
    static std::string fault(const IntelHexImage& image);
    // Reads and checks a file: empty when it is a program for the controller, else why not.
    static std::string check(const char* path);
};
