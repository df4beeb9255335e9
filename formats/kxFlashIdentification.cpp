#include "kxFlashIdentification.h"

namespace {

constexpr uint32_t kKiB = 1024;
constexpr uint8_t kSmallestPower = 16;  // 64 KiB
constexpr uint8_t kLargestPower = 24;   // 16 MiB

}  // namespace

uint32_t FlashIdentification::capacity() const {
    if (maker == kMakerAutoIncrement) {
        switch (capacityCode) {
            case 0x8C:
                return 256 * kKiB;
            case 0x8D:
                return 512 * kKiB;
            case 0x8E:
                return 1024 * kKiB;
            case 0x41:
                return 2048 * kKiB;
            case 0x4A:
                return 4096 * kKiB;
            default:
                break;
        }
    }
    if (capacityCode >= kSmallestPower && capacityCode <= kLargestPower) {
        return uint32_t{1} << capacityCode;
    }
    return 0;
}
