// What a serial configuration flash answers to its identification command (0x9F): the maker,
// the memory type and a capacity code, in the order the flash sends them. The library erases and
// programs two families, told apart by the maker: 0xBF (auto-address-increment word programming)
// and 0x20 (page programming).
#pragma once

#include <cstdint>

struct FlashIdentification {
    static constexpr uint8_t kMakerAutoIncrement = 0xBF;
    static constexpr uint8_t kMakerPage = 0x20;

    uint8_t maker = 0;
    uint8_t type = 0;
    uint8_t capacityCode = 0;

    // Whether the library can erase and program a flash of this maker.
    static bool knownMaker(uint8_t maker) {
        return maker == kMakerAutoIncrement || maker == kMakerPage;
    }
    // The flash's size in bytes, or 0 for a capacity code the library does not know. Codes 16 to
    // 24 are the power of two of the size; the 0xBF family also has codes of its own.
    uint32_t capacity() const;
};
