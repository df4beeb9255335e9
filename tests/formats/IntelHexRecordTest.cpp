#include "kxIntelHexRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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
