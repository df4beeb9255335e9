#include "kxControllerProgram.h"

#include <cstdio>

std::string ControllerProgram::fault(const IntelHexImage& image) {
    bool data = false;
    int number = 0;
    for (const IntelHexImage::Line& line : image.lines()) {
        ++number;
        if (!line.isRecord || line.record.type != IntelHexRecord::kData || line.record.count == 0) {
            continue;
        }
        data = true;
        const uint64_t first = line.address();
        const uint64_t last = first + static_cast<uint64_t>(line.record.count) - 1;
        if (last >= kRamBytes) {
            char text[128];
            std::snprintf(text, sizeof text,
                          "line %d writes 0x%04llX-0x%04llX, outside the controller's program RAM "
                          "(0x0000-0x%04X)",
                          number, static_cast<unsigned long long>(first),
                          static_cast<unsigned long long>(last),
                          static_cast<unsigned>(kRamBytes - 1));
            return text;
        }
    }
    return data ? std::string() : std::string("it holds no data");
}

std::string ControllerProgram::check(const char* path) {
    IntelHexImage image;
    return image.read(path) ? fault(image) : image.fault();
}
