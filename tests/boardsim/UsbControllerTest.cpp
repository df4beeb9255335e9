#include <gtest/gtest.h>

#include <cerrno>

#include "board/CameraBoard.h"

using boardsim::CameraBoard;
using boardsim::SetupPacket;

namespace {

constexpr uint8_t kVendorIn = 0xC0;
constexpr uint8_t kVendorOut = 0x40;

int control(CameraBoard& board, uint8_t type, uint8_t request, uint16_t value, uint16_t index,
            std::vector<uint8_t>& data) {
    return board.handleControl({type, request, value, index, static_cast<uint16_t>(data.size())},
                               data.data());
}

}  // namespace

TEST(UsbController, I2cBridgeWritesAndReadsAnEightBitEeprom) {
    CameraBoard board(boardsim::BoardConfig{}, 0);
    std::vector<uint8_t> bytes = {0x11, 0x22, 0x33};
    EXPECT_EQ(control(board, kVendorOut, 0xA9, 0xFE, 0x54, bytes), 3);
    std::vector<uint8_t> back(4);
    EXPECT_EQ(control(board, kVendorIn, 0xA9, 0xFE, 0x54, back), 4);
    // The pointer wraps at the end of the 256-byte memory.
    EXPECT_EQ(back, (std::vector<uint8_t>{0x11, 0x22, 0x33, 0xFF}));
    std::vector<uint8_t> first(1);
    EXPECT_EQ(control(board, kVendorIn, 0xA9, 0x00, 0x54, first), 1);
    EXPECT_EQ(first[0], 0x33);
}

TEST(UsbController, WideRegisterAddressesSendTheHighByteFirst) {
    CameraBoard board(boardsim::BoardConfig{}, 0);
    std::vector<uint8_t> bytes = {0xAB};
    EXPECT_EQ(control(board, kVendorOut, 0xA9, 0x1234, 0x151, bytes), 1);
    std::vector<uint8_t> back(1);
    EXPECT_EQ(control(board, kVendorIn, 0xA9, 0x1234, 0x151, back), 1);
    EXPECT_EQ(back[0], 0xAB);
    // Without the wide bit only the low byte (0x34) addresses the memory.
    EXPECT_EQ(control(board, kVendorIn, 0xA9, 0x1234, 0x51, back), 1);
    EXPECT_EQ(back[0], 0xFF);
}

TEST(UsbController, AbsentSlavesAndUnknownRequestsStall) {
    CameraBoard board(boardsim::BoardConfig{}, 0);
    std::vector<uint8_t> byte(1);
    EXPECT_EQ(control(board, kVendorIn, 0xA9, 0x00, 0x22, byte), -EPIPE);
    EXPECT_EQ(control(board, kVendorOut, 0xA9, 0x00, 0x22, byte), -EPIPE);
    EXPECT_EQ(control(board, kVendorIn, 0x77, 0, 0, byte), -EPIPE);
    EXPECT_EQ(control(board, 0x80, 0x06, 0x0100, 0, byte), -EPIPE);  // standard request
}

TEST(UsbController, VersionRequestReportsTheFirmwareLittleEndian) {
    boardsim::BoardConfig config;
    config.mcuVersion = 0x0105;
    CameraBoard board(config, 0);
    std::vector<uint8_t> version(2);
    EXPECT_EQ(control(board, kVendorIn, 0xB0, 0, 0, version), 2);
    EXPECT_EQ(version, (std::vector<uint8_t>{0x05, 0x01}));
}

TEST(CameraBoard, UnpluggedBoardAnswersNoDevice) {
    CameraBoard board(boardsim::BoardConfig{}, 3);
    EXPECT_EQ(board.path(), "sim:RT4207-x6B6B:3");
    board.setPlugged(false);
    std::vector<uint8_t> version(2);
    EXPECT_EQ(control(board, kVendorIn, 0xB0, 0, 0, version), -ENODEV);
}

TEST(CameraBoard, PipeSetDecidesTheInterruptEndpoints) {
    boardsim::BoardConfig config;
    EXPECT_EQ(CameraBoard(config, 0).endpoints().size(), 4u);
    config.pipes = boardsim::PipeSet::BulkOnly;
    const auto endpoints = CameraBoard(config, 0).endpoints();
    ASSERT_EQ(endpoints.size(), 2u);
    for (const auto& endpoint : endpoints) {
        EXPECT_EQ(endpoint.type, boardsim::TransferType::Bulk);
    }
}
