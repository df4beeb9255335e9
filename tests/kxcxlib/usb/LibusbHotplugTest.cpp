// What libusb hot-plug tells of the devices that come and go at a path.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "usb/libusb/kxLibusbHotplug.h"

namespace {

using kx::HotplugBoards;

// The boards the last enumeration found, by path.
HotplugBoards::KnownLabel enumerated(std::map<std::string, std::string> boards) {
    return [boards](const std::string& path) -> std::optional<std::string> {
        const auto board = boards.find(path);
        if (board == boards.end()) {
            return std::nullopt;
        }
        return board->second;
    };
}

TEST(HotplugBoards, OnlyBoardsAreToldAndTheirDeparturesCarryTheirModel) {
    HotplugBoards boards(enumerated({}));
    EXPECT_EQ(boards.arrived("usb:1-2", "RT4207-x6B6B"), "RT4207-x6B6B");
    EXPECT_EQ(boards.arrived("usb:1-3", std::nullopt), std::nullopt);  // a keyboard
    EXPECT_EQ(boards.arrived("usb:1-4", "MV3318-x7654"), "MV3318-x7654");

    EXPECT_EQ(boards.departed("usb:1-3"), std::nullopt);
    EXPECT_EQ(boards.departed("usb:1-4"), "MV3318-x7654");
    EXPECT_EQ(boards.departed("usb:1-2"), "RT4207-x6B6B");
    EXPECT_EQ(boards.departed("usb:1-2"), std::nullopt);  // told once
    EXPECT_EQ(boards.departed("usb:1-5"), std::nullopt);  // never seen
}

TEST(HotplugBoards, ADepartureWithoutAnArrivalIsToldForABoardTheEnumerationFound) {
    HotplugBoards boards(enumerated({{"usb:1-2", "MV3318-x7654"}}));
    EXPECT_EQ(boards.departed("usb:1-2"), "MV3318-x7654");
    EXPECT_EQ(boards.departed("usb:1-5"), std::nullopt);

    // A keyboard came where the board was found: its departure is not the board's.
    EXPECT_EQ(boards.arrived("usb:1-2", std::nullopt), std::nullopt);
    EXPECT_EQ(boards.departed("usb:1-2"), std::nullopt);
    // Nor is a board of another model's.
    boards.arrived("usb:1-2", "RT4207-x6B6B");
    EXPECT_EQ(boards.departed("usb:1-2"), "RT4207-x6B6B");

    // Arrivals seen by an earlier handler are forgotten with it.
    boards.arrived("usb:1-2", std::nullopt);
    boards.clear();
    EXPECT_EQ(boards.departed("usb:1-2"), "MV3318-x7654");
}

}  // namespace
