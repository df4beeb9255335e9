// What a board's EEPROMs hold when it leaves the factory.
#pragma once

#include <cstdint>
#include <vector>

#include "config/BoardConfig.h"

namespace boardsim {

class EepromImages {
public:
    // Manufacturing record (EEPROM 0x54, from address 0):
    //   0x00-0x03 board ID, 0x04 revision (ASCII), 0x05-0x08 serial number,
    //   0x09-0x0A location (ASCII), 0x0B-0x12 date "mm-dd-yy".
    // The board ID is the model number's four digits followed by 0001 (RT4207: 0x42070001);
    // the serial number counts the boards of a model from 0x13070001.
    static constexpr std::size_t kRecordSize = 0x13;
    static std::vector<uint8_t> manufacturingRecord(const BoardConfig& config, int number);

    // Boot image of the USB controller (EEPROM 0x51, from address 0): the "C2" header naming
    // the controller's USB identity and firmware version, then the closing record that starts
    // the controller's CPU (0x00 to CPUCS at 0xE600).
    static std::vector<uint8_t> bootImage(const BoardConfig& config);
};

}  // namespace boardsim
