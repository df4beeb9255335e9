#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "kxFpgaJtagLoader.h"
#include "kxIntelHexRecord.h"

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

TEST(IntelHexRecord, FindsTheFirstDamagedLineOfAFile) {
    TempDir dir;
    {
        std::ofstream("good.hex") << "comment lines are ignored\n:0300300002337A1E\n:00000001FF\n";
        std::ofstream("bad.hex") << ":0300300002337A1E\n\n:0300300002337A1D\n:00000001FF\n";
    }
    EXPECT_EQ(IntelHexRecord::firstDamagedLine("good.hex"), 0);
    EXPECT_EQ(IntelHexRecord::firstDamagedLine("bad.hex"), 3);
    EXPECT_EQ(IntelHexRecord::firstDamagedLine("missing.hex"), -1);
}

TEST(FpgaJtagLoader, ReversesTheBitOrderOfEveryByte) {
    std::vector<uint8_t> bytes = {0x01, 0x80, 0xAA, 0x0F, 0xC3, 0x00};
    FpgaJtagLoader::reverseBits(bytes);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x80, 0x01, 0x55, 0xF0, 0xC3, 0x00}));
}
