// Gamma table text files of every type and table number: any file gives at most 1024 entries
// whose words keep bits 30 and 31 clear.
#include <cstddef>
#include <cstdint>

#include "FuzzScratch.h"
#include "gamma/kxGammaTableFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const int type = data[0] & 0x03;
    const int number = data[0] >> 2 & 0x07;
    const std::string path = fuzz::FuzzScratch::write("gamma.txt", data + 1, size - 1);
    GammaTableFile::Table table;
    const int count = GammaTableFile::build(path.c_str(), number, type, table);
    if (count < 0 || count > GammaTableFile::kEntries) {
        __builtin_trap();
    }
    for (int k = 0; k < GammaTableFile::kEntries; ++k) {
        if ((GammaTableFile::entry(table, k) & 0xC0000000u) != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
