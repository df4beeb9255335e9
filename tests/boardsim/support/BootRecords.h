// Controller programs for the tests of boot images and of the board's program loading.
#pragma once

#include <cstdint>
#include <vector>

#include "firmware/BootImage.h"
#include "firmware/ProgramImage.h"

// A program: a reset vector and, unless versionCarried is 0, the device descriptor naming it.
inline std::vector<boardsim::BootImage::Record> bootRecords(uint16_t versionCarried) {
    using boardsim::ProgramImage;
    std::vector<boardsim::BootImage::Record> records = {{0x0000, {0x02, 0x02, 0x00}},
                                                        {0x0200, {0x80, 0xFE}}};
    if (versionCarried != 0) {
        const auto descriptor = ProgramImage::descriptor(versionCarried);
        records.push_back(
            {ProgramImage::kDescriptorAddress, {descriptor.begin(), descriptor.end()}});
    }
    return records;
}
