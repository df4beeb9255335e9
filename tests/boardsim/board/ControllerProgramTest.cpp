// The USB controller's program RAM, its restart with a loaded program, and its boot EEPROM, as
// the host's program and boot image loaders use them.
#include <gtest/gtest.h>

#include "firmware/BootImage.h"
#include "firmware/ProgramImage.h"
#include "host/SimHost.h"
#include "support/BootRecords.h"
#include "support/ProgrammingWire.h"

using namespace programming;
using boardsim::BoardConfig;
using boardsim::BootImage;
using boardsim::ProgramImage;

namespace {

BoardConfig controllerBoard() {
    BoardConfig config;
    config.manualClock = true;
    config.mcuVersion = 0x0105;
    return config;
}

int ramWrite(CameraBoard& board, uint16_t address, Bytes data) {
    return request(board, kVendorOut, 0xA0, address, data);
}

uint16_t version(CameraBoard& board) {
    Bytes data(2);
    EXPECT_EQ(request(board, kVendorIn, 0xB0, 0, data), 2);
    return static_cast<uint16_t>(data[1] << 8 | data[0]);
}

// The host's program load: CPU held, the records, CPU released.
void loadProgram(CameraBoard& board, const std::vector<BootImage::Record>& records) {
    EXPECT_EQ(ramWrite(board, 0xE600, {0x01}), 1);
    for (const auto& record : records) {
        EXPECT_EQ(ramWrite(board, record.address, record.data),
                  static_cast<int>(record.data.size()));
    }
    EXPECT_EQ(ramWrite(board, 0xE600, {0x00}), 1);
}

}  // namespace

TEST(ControllerProgram, ReleasedProgramReenumeratesWithItsVersion) {
    boardsim::SimHost host;
    host.configure({controllerBoard(), controllerBoard()});
    std::vector<std::pair<std::string, bool>> events;
    host.addListener(
        [&](const std::string& path, bool arrived) { events.emplace_back(path, arrived); });
    auto board = host.boards()[0];
    const uint64_t before = board->attachment();
    EXPECT_EQ(version(*board), 0x0105);
    loadProgram(*board, bootRecords(0x0107));
    EXPECT_EQ(events, (std::vector<std::pair<std::string, bool>>{{"sim:RT4207-x6B6B:0", false},
                                                                 {"sim:RT4207-x6B6B:0", true}}));
    EXPECT_TRUE(board->plugged());
    EXPECT_EQ(board->attachment(), before + 1);
    EXPECT_EQ(version(*board), 0x0107);
    // It arrived again, after the other board.
    EXPECT_EQ(host.presentBoards().back(), board);
    // The RAM reads back through request 0xA0 IN.
    Bytes readBack(3);
    EXPECT_EQ(request(*board, kVendorIn, 0xA0, 0x0000, readBack), 3);
    EXPECT_EQ(readBack, (Bytes{0x02, 0x02, 0x00}));
}

TEST(ControllerProgram, OnlyAReleaseRestartsAndAProgramWithoutVersionReportsZero) {
    CameraBoard board(controllerBoard(), 0);
    // Writing 0 to a running CPU's control register restarts nothing.
    EXPECT_EQ(ramWrite(board, 0xE600, {0x00}), 1);
    EXPECT_EQ(board.attachment(), 1u);
    loadProgram(board, bootRecords(0));
    EXPECT_EQ(board.attachment(), 2u);
    EXPECT_EQ(version(board), 0x0000);
    // The FPGA and the rest of the board were not power-cycled.
    EXPECT_EQ(board.fpgaVersion(), 0x0130);
}

TEST(ControllerProgram, HeldCpuAnswersOnlyRamLoadsUntilReleasedOrReplugged) {
    BoardConfig config = controllerBoard();
    config.framesPerSecond = 30;
    CameraBoard board(config, 0);
    EXPECT_EQ(ramWrite(board, 0xE600, {0x01}), 1);
    EXPECT_TRUE(board.cpuHeld());
    // The boot logic answers 0xA0 both ways.
    EXPECT_EQ(ramWrite(board, 0x0100, {0x12, 0x34}), 2);
    Bytes readBack(2);
    EXPECT_EQ(request(board, kVendorIn, 0xA0, 0x0100, readBack), 2);
    EXPECT_EQ(readBack, (Bytes{0x12, 0x34}));
    // Everything else is the firmware's: no answer.
    Bytes two(2);
    EXPECT_EQ(request(board, kVendorIn, 0xB0, 0, two), -ETIMEDOUT);
    uint8_t value = 0;
    EXPECT_EQ(board.handleControl({kVendorIn, 0xA9, 0x00, 0x3C, 1}, &value), -ETIMEDOUT);
    EXPECT_EQ(board.handleControl({kVendorOut, 0xA9, 0x2B, 0x3C, 1}, &value), -ETIMEDOUT);
    EXPECT_EQ(request(board, kVendorIn, 0xD0, 0x3CFF, two), -ETIMEDOUT);
    EXPECT_EQ(board.handleControl({kVendorOut, 0xC0, 0, 0, 0}, nullptr), -ETIMEDOUT);
    EXPECT_EQ(board.handleControl({kVendorOut, 0xAA, 0, 0, 0}, nullptr), -ETIMEDOUT);
    EXPECT_EQ(board.fpgaRegister(0x2B), 0x00);
    // And the data pipes: bulk IN (even with data waiting), bulk OUT, interrupt IN and OUT.
    board.bulkIn().push(Bytes(8, 0xAB));
    Bytes buffer(64);
    for (const uint8_t endpoint : {CameraBoard::kBulkIn, CameraBoard::kBulkOut,
                                   CameraBoard::kInterruptIn, CameraBoard::kInterruptOut}) {
        EXPECT_EQ(board.handleData(endpoint, buffer.data(), 8, std::chrono::milliseconds(20)),
                  -ETIMEDOUT)
            << static_cast<int>(endpoint);
    }
    // Never released: only a power cycle brings the firmware back.
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_FALSE(board.cpuHeld());
    EXPECT_EQ(version(board), 0x0105);
    EXPECT_EQ(board.handleData(CameraBoard::kInterruptIn, buffer.data(), 4,
                               std::chrono::milliseconds(20)),
              4);
}

TEST(ControllerProgram, BootEepromKeepsWhatIsWrittenAndTheNextPlugBootsFromIt) {
    CameraBoard board(controllerBoard(), 0);
    // The factory image names the firmware in its header.
    EXPECT_EQ(BootImage::parse(board.bootEeprom())->deviceId, 0x0105);
    BootImage image;
    image.deviceId = 0x0106;
    image.records = bootRecords(0x0107);
    const Bytes iic = image.write();
    // The host's boot image loader: pieces of 16 bytes to request 0xA9, wIndex 0x151.
    for (std::size_t offset = 0; offset < iic.size(); offset += 16) {
        Bytes piece(iic.begin() + static_cast<std::ptrdiff_t>(offset),
                    iic.begin() + static_cast<std::ptrdiff_t>(std::min(offset + 16, iic.size())));
        const auto length = static_cast<uint16_t>(piece.size());
        EXPECT_EQ(
            board.handleControl({kVendorOut, 0xA9, static_cast<uint16_t>(offset), 0x151, length},
                                piece.data()),
            length);
    }
    // Nothing changes until the board powers up again.
    EXPECT_EQ(version(board), 0x0105);
    board.setPlugged(false);
    board.setPlugged(true);
    const Bytes eeprom = board.bootEeprom();
    EXPECT_EQ(Bytes(eeprom.begin(), eeprom.begin() + static_cast<std::ptrdiff_t>(iic.size())), iic);
    // The program's own version wins over the header's.
    EXPECT_EQ(version(board), 0x0107);
    EXPECT_EQ(board.controllerRam()[0x0200], 0x80);
    // An image without the descriptor reports the header's device ID; no image at all, 0.
    image.records = bootRecords(0);
    const Bytes plain = image.write();
    for (std::size_t i = 0; i < plain.size(); ++i) {
        uint8_t byte = plain[i];
        board.handleControl({kVendorOut, 0xA9, static_cast<uint16_t>(i), 0x151, 1}, &byte);
    }
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(version(board), 0x0106);
    uint8_t blank = 0xFF;
    board.handleControl({kVendorOut, 0xA9, 0, 0x151, 1}, &blank);
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(version(board), 0x0000);
}
