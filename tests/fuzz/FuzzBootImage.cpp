// Boot images for the controller's EEPROM: any bytes are a boot image or refused with a reason.
#include <cstddef>
#include <cstdint>
#include <span>

#include "kxBootImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (BootImageFile::fault(bytes).empty() &&
        (size < BootImageFile::kHeaderBytes || data[0] != BootImageFile::kMarker)) {
        __builtin_trap();
    }
    return 0;
}
