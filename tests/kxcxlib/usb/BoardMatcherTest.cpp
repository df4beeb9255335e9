// Which model a device on the bus is, from its device interface GUIDs or its device map line.
#include "usb/libusb/kxBoardMatcher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

using kx::BoardMatcher;
using kx::DeviceMap;
using kx::Guid;

const Guid kFirstModel = *Guid::parse("{07039751-9D61-46F3-98BD-B4B79AD56B6B}");
const Guid kSecondModel = *Guid::parse("{B03B64F8-3F1D-4C55-8248-F0C43B287654}");
// A keyboard that carries Microsoft OS descriptors of its own.
const Guid kKeyboard = *Guid::parse("{4D36E96B-E325-11CE-BFC1-08002BE10318}");

const std::map<std::string, Guid> kRows = {{"RT4207-x6B6B", kFirstModel},
                                           {"MV3318-x7654", kSecondModel}};

std::vector<Guid> guids(std::initializer_list<Guid> list) {
    return list;
}

TEST(BoardMatcher, ADeviceIsTheFirstModelWhoseGuidItCarries) {
    BoardMatcher matcher(DeviceMap{}, "devicemap.txt");
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({kFirstModel})), std::nullopt);  // no rows yet

    std::ostringstream errors;
    matcher.setModels(kRows, errors);
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({kFirstModel})), "RT4207-x6B6B");
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({kKeyboard, kSecondModel})), "MV3318-x7654");
    // Both models' GUIDs: the first model in label order, as discovery lists it first.
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({kFirstModel, kSecondModel})), "MV3318-x7654");
    EXPECT_EQ(matcher.label(0x046D, 0xC31C, guids({kKeyboard})), std::nullopt);
    EXPECT_EQ(matcher.label(0x046D, 0xC31C, guids({})), std::nullopt);
    EXPECT_EQ(errors.str(), "");
}

TEST(BoardMatcher, AMappedDeviceIsTheModelItsLineNamesWhateverItsGuids) {
    std::ostringstream errors;
    BoardMatcher matcher(DeviceMap::parse("rt4207-X6B6B 04b4:1004\n"
                                          "XX9999-x0000 04b4:2000\n",
                                          "devicemap.txt", errors),
                         "devicemap.txt");
    EXPECT_EQ(matcher.mappedGuid(0x04B4, 0x1004), std::nullopt);  // no rows yet
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({})), std::nullopt);

    matcher.setModels(kRows, errors);
    EXPECT_EQ(errors.str(), "devicemap.txt:2: unknown model label 'XX9999-x0000'\n");
    EXPECT_EQ(matcher.mappedGuid(0x04B4, 0x1004), kFirstModel);
    // Spelled as the rows spell it, and the line wins over the descriptors.
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({})), "RT4207-x6B6B");
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({kSecondModel})), "RT4207-x6B6B");
    // A line of no model leaves the descriptors to decide.
    EXPECT_EQ(matcher.mappedGuid(0x04B4, 0x2000), std::nullopt);
    EXPECT_EQ(matcher.label(0x04B4, 0x2000, guids({})), std::nullopt);
    EXPECT_EQ(matcher.label(0x04B4, 0x2000, guids({kSecondModel})), "MV3318-x7654");

    // New rows replace the old ones; the map is reported once only.
    matcher.setModels({{"XX9999-x0000", kSecondModel}}, errors);
    EXPECT_EQ(errors.str(), "devicemap.txt:2: unknown model label 'XX9999-x0000'\n");
    EXPECT_EQ(matcher.label(0x04B4, 0x2000, guids({})), "XX9999-x0000");
    EXPECT_EQ(matcher.label(0x04B4, 0x1004, guids({kFirstModel})), std::nullopt);
}

}  // namespace
