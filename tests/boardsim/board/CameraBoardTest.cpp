#include "board/CameraBoard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <future>
#include <string>

#include "board/HandleButton.h"
#include "host/SimHost.h"

using boardsim::BoardConfig;
using boardsim::CameraBoard;
using boardsim::LedChip;
using Bytes = std::vector<uint8_t>;
using State = boardsim::LedController::Channel::State;

namespace {

constexpr uint8_t kVendorIn = 0xC0;
constexpr uint8_t kVendorOut = 0x40;

Bytes readRegs(CameraBoard& board, uint16_t slave, uint16_t reg, uint16_t count) {
    Bytes data(count);
    const int result = board.handleControl({kVendorIn, 0xA9, reg, slave, count}, data.data());
    EXPECT_EQ(result, count);
    return data;
}

int writeRegs(CameraBoard& board, uint16_t slave, uint16_t reg, Bytes data) {
    return board.handleControl({kVendorOut, 0xA9, reg, slave, static_cast<uint16_t>(data.size())},
                               data.data());
}

BoardConfig configWith(LedChip chip) {
    BoardConfig config;
    config.ledChip = chip;
    return config;
}

}  // namespace

TEST(CameraBoard, PathNamesModelAndNumberAndUnpluggedBoardAnswersNoDevice) {
    CameraBoard board(BoardConfig{}, 3);
    EXPECT_EQ(board.path(), "sim:RT4207-x6B6B:3");
    board.setPlugged(false);
    Bytes data(2);
    EXPECT_EQ(board.handleControl({kVendorIn, 0xB0, 0, 0, 2}, data.data()), -ENODEV);
    EXPECT_EQ(board.handleData(CameraBoard::kBulkIn, data.data(), 2, std::chrono::milliseconds(1)),
              -ENODEV);
    EXPECT_EQ(board.clearHalt(CameraBoard::kBulkIn), -ENODEV);
}

TEST(CameraBoard, PipeSetDecidesTheInterruptEndpoints) {
    BoardConfig config;
    EXPECT_EQ(CameraBoard(config, 0).endpoints().size(), 4u);
    config.pipes = boardsim::PipeSet::BulkOnly;
    CameraBoard board(config, 0);
    const auto endpoints = board.endpoints();
    ASSERT_EQ(endpoints.size(), 2u);
    for (const auto& endpoint : endpoints) {
        EXPECT_EQ(endpoint.type, boardsim::TransferType::Bulk);
    }
    Bytes data(4);
    EXPECT_EQ(
        board.handleData(CameraBoard::kInterruptIn, data.data(), 4, std::chrono::milliseconds(1)),
        -EINVAL);
}

TEST(BoardEeproms, ManufacturingRecordIsLaidOutAsTheBoardInfoPageReadsIt) {
    CameraBoard first(BoardConfig{}, 0);
    const Bytes record = readRegs(first, 0x54, 0x00, 0x14);
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 9),
              (Bytes{0x42, 0x07, 0x00, 0x01, 'C', 0x13, 0x07, 0x00, 0x01}));
    EXPECT_EQ(std::string(record.begin() + 9, record.begin() + 0x13), "US03-14-13");
    EXPECT_EQ(record[0x13], 0xFF);
    BoardConfig config;
    config.model = boardsim::BoardModels::find("MV3318");
    CameraBoard other(config, 11);
    EXPECT_EQ(readRegs(other, 0x54, 0x00, 4), (Bytes{0x33, 0x18, 0x00, 0x01}));
    EXPECT_EQ(readRegs(other, 0x54, 0x05, 4), (Bytes{0x13, 0x07, 0x00, 0x0C}));
}

TEST(BoardEeproms, BootEepromStartsWithTheControllersBootHeader) {
    BoardConfig config;
    config.mcuVersion = 0x0107;
    CameraBoard board(config, 0);
    EXPECT_EQ(readRegs(board, 0x151, 0x0000, 13), (Bytes{0xC2, 0xB4, 0x04, 0x13, 0x86, 0x07, 0x01,
                                                         0x01, 0x80, 0x01, 0xE6, 0x00, 0x00}));
    EXPECT_EQ(readRegs(board, 0x151, 0x3FFF, 2), (Bytes{0xFF, 0xC2}));  // wraps at 16 KiB
}

TEST(BoardButtons, HeldButtonsShowActiveLowInFpgaRegister4) {
    CameraBoard board(BoardConfig{}, 0);
    EXPECT_EQ(readRegs(board, 0x3C, 0x04, 1), (Bytes{0x0F}));
    EXPECT_TRUE(board.pressButton(boardsim::HandleButton::kPhoto));
    EXPECT_EQ(readRegs(board, 0x3C, 0x04, 1), (Bytes{0x07}));
    EXPECT_TRUE(board.pressButton(boardsim::HandleButton::kLightUp));
    EXPECT_EQ(readRegs(board, 0x3C, 0x04, 1), (Bytes{0x06}));
    EXPECT_EQ(board.buttonsHeld(), 0x09);
    EXPECT_TRUE(board.releaseButton(boardsim::HandleButton::kPhoto));
    EXPECT_TRUE(board.releaseButton(boardsim::HandleButton::kPhoto));
    EXPECT_EQ(readRegs(board, 0x3C, 0x04, 1), (Bytes{0x0E}));
    EXPECT_FALSE(board.pressButton(4));
    EXPECT_FALSE(board.releaseButton(-1));
    EXPECT_EQ(board.buttonsHeld(), 0x01);
}

TEST(BoardFaults, ControlTransfersTimeOutForACountOrUntilCleared) {
    CameraBoard board(BoardConfig{}, 0);
    board.setControlTimeouts(2);
    Bytes data = {0x01};
    for (int i = 0; i < 2; ++i) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(writeRegs(board, 0x3C, 0x20, data), -ETIMEDOUT);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, CameraBoard::kControlTimeoutDelay);
        EXPECT_LT(waited, std::chrono::seconds(2));
    }
    EXPECT_EQ(board.controlTimeouts(), 0);
    // The timed-out writes did not reach the FPGA.
    EXPECT_EQ(board.fpgaRegister(0x20), 0x00);
    EXPECT_EQ(writeRegs(board, 0x3C, 0x20, data), 1);
    board.setControlTimeouts(CameraBoard::kUntilCleared);
    Bytes version(2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(board.handleControl({kVendorIn, 0xB0, 0, 0, 2}, version.data()), -ETIMEDOUT);
    }
    EXPECT_EQ(board.controlTimeouts(), CameraBoard::kUntilCleared);
    board.setControlTimeouts(0);
    EXPECT_EQ(board.handleControl({kVendorIn, 0xB0, 0, 0, 2}, version.data()), 2);
    // An unplugged board is gone, not slow.
    board.setControlTimeouts(1);
    board.setPlugged(false);
    EXPECT_EQ(board.handleControl({kVendorIn, 0xB0, 0, 0, 2}, version.data()), -ENODEV);
}

TEST(BoardFaults, NackedPartReadsAsFillerAndRefusesWritesUntilCleared) {
    CameraBoard board(BoardConfig{}, 0);
    board.setI2cNack(0x3C, true);
    EXPECT_TRUE(board.i2cNack(0x3C));
    EXPECT_EQ(readRegs(board, 0x3C, 0x00, 2), (Bytes{0xCD, 0xCD}));
    EXPECT_EQ(writeRegs(board, 0x3C, 0x20, {0x01}), -EPIPE);
    EXPECT_EQ(readRegs(board, 0x135, 0x3100, 1), (Bytes{0x35}));  // others answer
    board.setI2cNack(0x3C, false);
    EXPECT_EQ(readRegs(board, 0x3C, 0x00, 2), (Bytes{0x30, 0x01}));
    EXPECT_EQ(writeRegs(board, 0x3C, 0x20, {0x01}), 1);
}

TEST(BoardFaults, StalledBulkInFailsReadsUntilTheHaltIsCleared) {
    CameraBoard board(BoardConfig{}, 0);
    Bytes frame(512);
    board.setBulkInStalled(true);
    board.bulkIn().push(Bytes(512, 0x11));
    EXPECT_EQ(board.handleData(CameraBoard::kBulkIn, frame.data(), 512, std::chrono::seconds(1)),
              -EPIPE);
    EXPECT_EQ(board.clearHalt(CameraBoard::kBulkIn), 0);
    EXPECT_FALSE(board.bulkInStalled());
    EXPECT_EQ(board.handleData(CameraBoard::kBulkIn, frame.data(), 512, std::chrono::seconds(1)),
              512);
    EXPECT_EQ(frame[0], 0x11);
}

TEST(BoardFaults, UnplugWakesABlockedBulkReadWithNoDevice) {
    boardsim::SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("RT4207", error));
    const auto board = host.presentBoards().front();
    auto reader = std::async(std::launch::async, [&board] {
        Bytes frame(512);
        return board->handleData(CameraBoard::kBulkIn, frame.data(), 512,
                                 std::chrono::milliseconds(0));
    });
    EXPECT_EQ(reader.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    ASSERT_TRUE(host.unplug(board->path()));
    ASSERT_EQ(reader.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(reader.get(), -ENODEV);
}

TEST(BoardFaults, ConfiguredFaultsAreThereFromPowerOn) {
    BoardConfig config;
    config.nackAddresses = {0x62};
    config.bulkInStalled = true;
    config.controlTimeouts = 1;
    CameraBoard board(config, 0);
    EXPECT_TRUE(board.bulkInStalled());
    Bytes data(1);
    EXPECT_EQ(board.handleControl({kVendorIn, 0xA9, 0x00, 0x62, 1}, data.data()), -ETIMEDOUT);
    EXPECT_EQ(readRegs(board, 0x62, 0x00, 1), (Bytes{0xCD}));
}

TEST(CameraBoard, PluggingInAgainPowersThePartsUp) {
    CameraBoard board(BoardConfig{}, 0);
    EXPECT_EQ(writeRegs(board, 0x3C, 0x20, {0x01}), 1);
    EXPECT_EQ(writeRegs(board, 0x135, 0x4001, {0x01}), 1);
    EXPECT_EQ(writeRegs(board, 0x54, 0x04, {'D'}), 1);
    Bytes none;
    EXPECT_EQ(board.handleControl({kVendorOut, 0xAB, 0, 0, 0}, none.data()), 0);
    board.pressButton(boardsim::HandleButton::kRecord);
    board.setI2cNack(0x48, true);
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(readRegs(board, 0x3C, 0x20, 1), (Bytes{0x00}));
    EXPECT_EQ(readRegs(board, 0x135, 0x4001, 1), (Bytes{0x00}));
    EXPECT_EQ(readRegs(board, 0x54, 0x04, 1), (Bytes{'D'}));   // EEPROMs keep their contents
    EXPECT_EQ(readRegs(board, 0x3C, 0x04, 1), (Bytes{0x0B}));  // still held
    EXPECT_EQ(board.speedSetting(), 0);
    EXPECT_TRUE(board.i2cNack(0x48));
}

TEST(BoardLamp, ProbeOfThePca9633FindsItOnlyOnBoardsThatCarryIt) {
    CameraBoard pca9633(configWith(LedChip::Pca9633), 0);
    CameraBoard pca9530(configWith(LedChip::Pca9530), 0);
    EXPECT_EQ(readRegs(pca9633, 0x62, 0x00, 1), (Bytes{0x11}));
    EXPECT_EQ(readRegs(pca9633, 0x62, 0x01, 1), (Bytes{0x05}));
    EXPECT_EQ(readRegs(pca9530, 0x62, 0x00, 1), (Bytes{0xCD}));
    EXPECT_EQ(readRegs(pca9530, 0x62, 0x01, 1), (Bytes{0xCD}));
    EXPECT_EQ(readRegs(pca9530, 0x60, 0x02, 1), (Bytes{0x80}));
}

TEST(BoardLamp, IlluminationFollowsTheLevelsTheHostSetsOnAPca9633) {
    CameraBoard board(configWith(LedChip::Pca9633), 0);
    EXPECT_DOUBLE_EQ(board.illumination(), 1.0);  // drivers off from power-on: lamp lit
    // Level 4 (duty 20 %): MODE1 awake, LEDOUT LED2 on PWM, PWM2 = 204.
    EXPECT_EQ(writeRegs(board, 0x62, 0x00, {0x01}), 1);
    EXPECT_EQ(writeRegs(board, 0x62, 0x08, {0x20}), 1);
    EXPECT_EQ(writeRegs(board, 0x62, 0x04, {204}), 1);
    EXPECT_EQ(board.ledOutputs()[2].state, State::Pwm);
    EXPECT_NEAR(board.illumination(), 0.2, 0.01);
    // Level 10 (duty 50 %): PWM2 = 127.
    EXPECT_EQ(writeRegs(board, 0x62, 0x04, {127}), 1);
    EXPECT_NEAR(board.illumination(), 0.5, 0.01);
    // Level 0 with no power at 0 %: LED2 driver off, LED1 on cuts the supply.
    EXPECT_EQ(writeRegs(board, 0x62, 0x08, {0x04}), 1);
    EXPECT_EQ(writeRegs(board, 0x62, 0x04, {0}), 1);
    EXPECT_DOUBLE_EQ(board.illumination(), 0.0);
    // "OFF" and "ON".
    EXPECT_EQ(writeRegs(board, 0x62, 0x08, {0x55}), 1);
    EXPECT_DOUBLE_EQ(board.illumination(), 0.0);
    EXPECT_EQ(writeRegs(board, 0x62, 0x00, {0x11}), 1);
    EXPECT_EQ(writeRegs(board, 0x62, 0x08, {0x00}), 1);
    EXPECT_DOUBLE_EQ(board.illumination(), 1.0);
}

TEST(BoardLamp, IlluminationOfAPca9530BoardIsTheMeanOfItsTwoLamps) {
    CameraBoard board(configWith(LedChip::Pca9530), 0);
    EXPECT_DOUBLE_EQ(board.illumination(), 1.0);
    // LED 1 blinking at 2 Hz, 25 % lit (PWM1 = 192), LED 0 driver on (dark).
    EXPECT_EQ(writeRegs(board, 0x60, 0x13, {75, 192}), 2);
    EXPECT_EQ(writeRegs(board, 0x60, 0x05, {0x0D}), 1);
    EXPECT_DOUBLE_EQ(board.illumination(), (0.0 + 0.25) / 2);
    EXPECT_DOUBLE_EQ(board.ledOutputs()[1].frequency, 2.0);
}
