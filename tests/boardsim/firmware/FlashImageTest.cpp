// The flash image of a configuration stream: its records as the host's flash programmer writes
// them, and what each flash family holds after programming them.
#include "firmware/FlashImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "firmware/BitstreamBuilder.h"

using boardsim::BitstreamBuilder;
using boardsim::FlashFamily;
using boardsim::FlashImage;
using boardsim::IntelHex;
using Bytes = std::vector<uint8_t>;

TEST(FlashImage, EachFamilyPlacesTheRecordsAsTheProgrammerWritesThem) {
    const Bytes stream = BitstreamBuilder::release(0x01, 0x30).build();
    const std::vector<IntelHex::Chunk> records = FlashImage::records(stream);
    ASSERT_EQ(records.size(), (stream.size() + 15) / 16);
    EXPECT_EQ(records[1].address, 16u);
    EXPECT_EQ(records.back().data.size(), 16u);
    const Bytes padded = FlashImage::padded(stream);
    EXPECT_EQ(FlashImage::programmed(records, FlashFamily::Sst), padded);
    EXPECT_EQ(FlashImage::programmed(records, FlashFamily::PageProgram), padded);
    // Records elsewhere, and a short one: word programming runs on from address 0 and skips the
    // short record, page programming puts each whole record at its address.
    const std::vector<IntelHex::Chunk> scattered = {
        {0x0100, Bytes(16, 0xA5)}, {0x0010, Bytes(4, 0x00)}, {0x0040, Bytes(16, 0x5A)}};
    Bytes words(32, 0xFF);
    std::fill_n(words.begin(), 16, 0xA5);
    std::fill_n(words.begin() + 16, 16, 0x5A);
    EXPECT_EQ(FlashImage::programmed(scattered, FlashFamily::Sst), words);
    const Bytes pages = FlashImage::programmed(scattered, FlashFamily::PageProgram);
    ASSERT_EQ(pages.size(), 0x110u);
    EXPECT_EQ(pages[0x0040], 0x5A);
    EXPECT_EQ(pages[0x0100], 0xA5);
    EXPECT_EQ(pages[0x0010], 0xFF);
}
