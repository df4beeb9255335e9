// A controller boot image written and parsed again, and damaged images refused.
#include "firmware/BootImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "firmware/ProgramImage.h"
#include "support/BootRecords.h"

using boardsim::BootImage;
using boardsim::ProgramImage;
using Bytes = std::vector<uint8_t>;

TEST(BootImage, RecordsRoundTripAndDamagedImagesAreRefused) {
    BootImage image;
    image.deviceId = 0x0107;
    image.records = bootRecords(0x0107);
    const Bytes bytes = image.write();
    const auto parsed = BootImage::parse(bytes);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->records.size(), 3u);
    EXPECT_EQ(parsed->records[2].address, ProgramImage::kDescriptorAddress);
    // The last record is missing: not a boot image.
    EXPECT_FALSE(BootImage::parse(Bytes(bytes.begin(), bytes.end() - 5)).has_value());
    EXPECT_FALSE(BootImage::parse(Bytes{0xC0, 0, 0, 0, 0, 0, 0, 0}).has_value());
}
