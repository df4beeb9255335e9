// A scratch folder for fuzz targets whose parsers read files: each input is written to a file
// there before it is parsed. The folder is in memory (/dev/shm) where the system has one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

class FuzzScratch {
public:
    // The folder, made on first use and removed when the process ends.
    static const std::string& folder();
    // Writes data to name in the folder and returns the file's path.
    static std::string write(const char* name, const uint8_t* data, size_t size);
    // A QApplication on the offscreen platform, for parsers that are widgets or show boxes.
    static void startQt();
};

}  // namespace fuzz
