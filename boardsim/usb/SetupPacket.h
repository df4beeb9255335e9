// The setup stage of a USB control transfer.
#pragma once

#include <cstdint>

namespace boardsim {

struct SetupPacket {
    static constexpr uint8_t kDirectionIn = 0x80;
    static constexpr uint8_t kTypeMask = 0x60;
    static constexpr uint8_t kTypeVendor = 0x40;

    uint8_t requestType = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;

    bool isIn() const { return (requestType & kDirectionIn) != 0; }
    bool isVendor() const { return (requestType & kTypeMask) == kTypeVendor; }
};

}  // namespace boardsim
