// A binary file read whole (bitstreams, boot images).
#pragma once

#include <cstdint>
#include <vector>

class BinaryFile {
public:
    // The whole of a regular file, read in pieces of at most 1024 bytes; false when it is none
    // or cannot be opened.
    static bool read(const char* path, std::vector<uint8_t>& bytes);
};
