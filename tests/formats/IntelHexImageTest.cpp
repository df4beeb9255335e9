#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "kxIntelHexImage.h"

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
