// Writes 8-bit RGB images as PNG files without an image library: the pixel data goes into
// stored (uncompressed) deflate blocks, which every PNG reader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PngWriter {
public:
    // rgb holds width x height pixels of R, G, B, rows from the top. False when the file cannot
    // be written.
    static bool write(const std::string& path, const uint8_t* rgb, int width, int height);
    // The same into memory.
    static std::vector<uint8_t> encode(const uint8_t* rgb, int width, int height);

    static uint32_t crc32(const uint8_t* data, std::size_t size, uint32_t crc = 0);
};
