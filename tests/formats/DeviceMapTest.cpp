// The device map file: its lines, good and bad, and where it is looked for.
#include "kxDeviceMap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TempDir.h"

namespace {

using kx::DeviceMap;

TEST(DeviceMap, ReadsPairsInEitherCaseAroundCommentsAndBlankLines) {
    std::ostringstream errors;
    const DeviceMap map = DeviceMap::parse(
        "# boards without GUID descriptors\n"
        "\n"
        "RT4207-x6B6B 04b4:1004\n"
        "  MV3318-x7654\t04B4:00F1   # a comment after the pair\r\n"
        "   \t # only a comment\n"
        "RT4207-x6B6B 4:abcD",  // a second pair of a label; short hex; no final newline
        "map", errors);
    EXPECT_EQ(errors.str(), "");
    ASSERT_EQ(map.entries().size(), 3u);

    const DeviceMap::Entry* first = map.find(0x04B4, 0x1004);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->label, "RT4207-x6B6B");
    EXPECT_EQ(first->line, 3);
    const DeviceMap::Entry* second = map.find(0x04B4, 0x00F1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->label, "MV3318-x7654");
    EXPECT_EQ(second->line, 4);
    const DeviceMap::Entry* third = map.find(0x0004, 0xABCD);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->label, "RT4207-x6B6B");
    EXPECT_EQ(third->line, 6);

    EXPECT_EQ(map.find(0x1004, 0x04B4), nullptr);  // vendor and product are not interchangeable
    EXPECT_EQ(map.find(0x04B4, 0x1005), nullptr);
}

TEST(DeviceMap, ReportsEachBadLineWithItsNumberAndKeepsTheOthers) {
    std::ostringstream errors;
    const DeviceMap map = DeviceMap::parse(
        "RT4207-x6B6B 04b4:1004\n"
        "RT4207-x6B6B\n"
        "RT4207-x6B6B 04b4-1004\n"
        "RT4207-x6B6B 04b4:10045\n"
        "RT4207-x6B6B 04b4:1004 extra\n"
        "RT4207-x6B6B :1004\n"
        "RT4207-x6B6B 0x4b4:1004\n"
        "RT4207-x6B6B 04b4:\n"
        "RT4207-x6B6B g4b4:1004\n"
        "MV3318-x7654 1:2\n",
        "devicemap.txt", errors);
    EXPECT_EQ(errors.str(),
              "devicemap.txt:2: expected '<model label> <vid>:<pid>'\n"
              "devicemap.txt:3: '04b4-1004' is not a hex VID:PID\n"
              "devicemap.txt:4: '04b4:10045' is not a hex VID:PID\n"
              "devicemap.txt:5: expected '<model label> <vid>:<pid>'\n"
              "devicemap.txt:6: ':1004' is not a hex VID:PID\n"
              "devicemap.txt:7: '0x4b4:1004' is not a hex VID:PID\n"
              "devicemap.txt:8: '04b4:' is not a hex VID:PID\n"
              "devicemap.txt:9: 'g4b4:1004' is not a hex VID:PID\n");
    ASSERT_EQ(map.entries().size(), 2u);
    EXPECT_EQ(map.entries()[0].line, 1);
    EXPECT_EQ(map.entries()[1].line, 10);
    EXPECT_NE(map.find(0x0001, 0x0002), nullptr);
}

TEST(DeviceMap, APairBelongsToTheFirstLabelThatNamesIt) {
    std::ostringstream errors;
    const DeviceMap map = DeviceMap::parse(
        "RT4207-x6B6B 04b4:1004\n"
        "rt4207-X6B6B 04B4:1004\n"  // the same label again: accepted silently
        "MV3318-x7654 04b4:1004\n",
        "map", errors);
    EXPECT_EQ(errors.str(), "map:3: 04b4:1004 is already mapped to RT4207-x6B6B (line 1)\n");
    ASSERT_EQ(map.entries().size(), 1u);
    EXPECT_EQ(map.find(0x04B4, 0x1004)->label, "RT4207-x6B6B");
    EXPECT_EQ(map.find(0x04B4, 0x1004)->line, 1);
}

TEST(DeviceMap, IsLookedForWhereTheEnvironmentSays) {
    EXPECT_EQ(DeviceMap::pathFrom("/etc/kx/map.txt", "/opt/velquin", "/home/ann"),
              "/etc/kx/map.txt");
    EXPECT_EQ(DeviceMap::pathFrom("", "/opt/velquin", "/home/ann"),
              "/opt/velquin/Config/devicemap.txt");
    EXPECT_EQ(DeviceMap::pathFrom(nullptr, "", "/home/ann"),
              "/home/ann/Velquin/Config/devicemap.txt");
    EXPECT_EQ(DeviceMap::pathFrom(nullptr, nullptr, nullptr), "");
}

TEST(DeviceMap, LoadsAFileAndSaysNothingOfAMissingOne) {
    TempDir dir;
    const std::string path = dir.path() + "/devicemap.txt";
    std::ofstream(path) << "RT4207-x6B6B 04b4:1004\nbad\n";
    std::ostringstream errors;
    const DeviceMap map = DeviceMap::load(path, errors);
    EXPECT_NE(map.find(0x04B4, 0x1004), nullptr);
    EXPECT_EQ(errors.str(), path + ":2: expected '<model label> <vid>:<pid>'\n");

    std::ostringstream quiet;
    EXPECT_TRUE(DeviceMap::load(dir.path() + "/absent.txt", quiet).entries().empty());
    EXPECT_TRUE(DeviceMap::load("", quiet).entries().empty());
    EXPECT_EQ(quiet.str(), "");
}

}  // namespace
