// A controller boot image written and parsed again, and damaged images refused.
#include "firmware/BootImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "firmware/ProgramImage.h"

using boardsim::BootImage;
using boardsim::ProgramImage;
using Bytes = std::vector<uint8_t>;

namespace {

// A program: a reset vector and, unless version is 0, the device descriptor naming it.
std::vector<BootImage::Record> program(uint16_t versionCarried) {
    std::vector<BootImage::Record> records = {{0x0000, {0x02, 0x02, 0x00}}, {0x0200, {0x80, 0xFE}}};
    if (versionCarried != 0) {
        const auto descriptor = ProgramImage::descriptor(versionCarried);
        records.push_back(
            {ProgramImage::kDescriptorAddress, {descriptor.begin(), descriptor.end()}});
    }
    return records;
}

}  // namespace

TEST(BootImage, RecordsRoundTripAndDamagedImagesAreRefused) {
    BootImage image;
    image.deviceId = 0x0107;
    image.records = program(0x0107);
    const Bytes bytes = image.write();
    const auto parsed = BootImage::parse(bytes);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->records.size(), 3u);
    EXPECT_EQ(parsed->records[2].address, ProgramImage::kDescriptorAddress);
    // The last record is missing: not a boot image.
    EXPECT_FALSE(BootImage::parse(Bytes(bytes.begin(), bytes.end() - 5)).has_value());
    EXPECT_FALSE(BootImage::parse(Bytes{0xC0, 0, 0, 0, 0, 0, 0, 0}).has_value());
}
