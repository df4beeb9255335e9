#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "kxFlashIdentification.h"
#include "kxIntelHexImage.h"
#include "kxIntelHexRecord.h"
#include "load/kxFpgaJtagLoader.h"

TEST(IntelHexRecord, ParsesSoundRecordsAndRefusesDamagedOnes) {
    IntelHexRecord record;
    ASSERT_TRUE(IntelHexRecord::parse(":0300300002337A1E\r\n", record));
    EXPECT_EQ(record.count, 3);
    EXPECT_EQ(record.address, 0x0030);
    EXPECT_EQ(record.type, IntelHexRecord::kData);
    EXPECT_EQ(record.data, (std::vector<uint8_t>{0x02, 0x33, 0x7A}));
    ASSERT_TRUE(IntelHexRecord::parse(":020000040001F9", record));
    EXPECT_EQ(record.type, IntelHexRecord::kExtendedLinearAddress);
    EXPECT_TRUE(IntelHexRecord::parse(":00000001FF", record));
    EXPECT_FALSE(IntelHexRecord::parse(":0300300002337A1F", record));  // checksum
    EXPECT_FALSE(IntelHexRecord::parse(":0400300002337A1E", record));  // count vs data
    EXPECT_FALSE(IntelHexRecord::parse(":03003000023G7A1E", record));  // not hex
    EXPECT_FALSE(IntelHexRecord::parse(":030030", record));
    EXPECT_FALSE(IntelHexRecord::parse("0300300002337A1E", record));
}

TEST(IntelHexImage, ReadsAWholeImageAndNamesWhatIsWrongWithOthers) {
    TempDir dir;
    const std::string good =
        "comment lines are ignored\n:020000040001F9\n:0300300002337A1E\n:00000001FF\n";
    {
        std::ofstream("good.hex") << good;
        std::ofstream("bad.hex") << ":0300300002337A1E\n\n:0300300002337A1D\n:00000001FF\n";
    }
    IntelHexImage image;
    ASSERT_TRUE(image.read("good.hex")) << image.fault();
    ASSERT_EQ(image.lines().size(), 4u);
    EXPECT_FALSE(image.lines()[0].isRecord);
    // The extended linear address record gives the upper 16 bits.
    EXPECT_EQ(image.lines()[2].address(), 0x10030u);
    EXPECT_EQ(image.characters(), static_cast<long>(good.size()));
    EXPECT_FALSE(image.read("bad.hex"));
    EXPECT_EQ(image.fault(), "line 3 is damaged");
    EXPECT_FALSE(image.read("missing.hex"));
    EXPECT_EQ(image.fault(), "it is no readable file");
}

TEST(FlashIdentification, CapacityCodesOfBothFamilies) {
    EXPECT_EQ((FlashIdentification{0xBF, 0x25, 0x8E}.capacity()), 1u << 20);
    EXPECT_EQ((FlashIdentification{0xBF, 0x25, 0x4A}.capacity()), 4u << 20);
    EXPECT_EQ((FlashIdentification{0xBF, 0x25, 0x10}.capacity()), 1u << 16);
    EXPECT_EQ((FlashIdentification{0x20, 0x20, 0x18}.capacity()), 1u << 24);
    // Codes no family uses: the size is unknown.
    EXPECT_EQ((FlashIdentification{0x20, 0x20, 0x8E}.capacity()), 0u);
    EXPECT_EQ((FlashIdentification{0x20, 0x20, 0x0F}.capacity()), 0u);
}

TEST(FpgaJtagLoader, ReversesTheBitOrderOfEveryByte) {
    std::vector<uint8_t> bytes = {0x01, 0x80, 0xAA, 0x0F, 0xC3, 0x00};
    FpgaJtagLoader::reverseBits(bytes);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x80, 0x01, 0x55, 0xF0, 0xC3, 0x00}));
}
