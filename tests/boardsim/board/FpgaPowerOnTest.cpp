// The FPGA configuring itself from its configuration flash at power-on: the design the board
// left the factory with, what the host's flash loaders leave in the flash, and the JTAG design
// a power cycle loses.
#include <gtest/gtest.h>

#include "config/SimConfigParser.h"
#include "firmware/BitstreamBuilder.h"
#include "firmware/FlashImage.h"
#include "support/ProgrammingWire.h"

using namespace programming;
using boardsim::BitstreamBuilder;
using boardsim::BoardConfig;
using boardsim::FlashImage;
using boardsim::IntelHex;

namespace {

constexpr uint8_t kCaptureDone = 0x20;

BoardConfig boardOf(const std::string& text) {
    std::vector<BoardConfig> boards;
    std::string error;
    EXPECT_TRUE(boardsim::SimConfigParser::parse(text, boards, error)) << error;
    BoardConfig config = boards.at(0);
    config.manualClock = true;
    config.flashEraseTime = std::chrono::milliseconds(2);
    return config;
}

void replug(CameraBoard& board) {
    board.setPlugged(false);
    board.setPlugged(true);
}

// The start-up handshake as the host's initFPGA does it: whether the FPGA answers ready.
bool handshakeAnswers(CameraBoard& board) {
    boardwire::fpgaWrite(board, 0x40, 1);
    return boardwire::fpgaRead(board, 0x41) == 1;
}

std::vector<IntelHex::Chunk> releaseRecords(uint8_t major, uint8_t minor) {
    return FlashImage::records(BitstreamBuilder::release(major, minor).build());
}

}  // namespace

TEST(FpgaPowerOn, FactoryFlashGivesTheConfiguredVersionOnEveryFamily) {
    for (const char* text : {"RT4207", "RT4207,fpga=1.20", "RT4207,flash=page,fpga=1.20",
                             "RT4207,flash=unknown,fpga=1.20", "RT4207,fpga=1.20,idcode=0x12345093",
                             "RT4207,flashsize=64,fpga=2.05"}) {
        SCOPED_TRACE(text);
        const BoardConfig config = boardOf(text);
        CameraBoard board(config, 0);
        const uint16_t expected = static_cast<uint16_t>(config.fpgaMajor << 8 | config.fpgaMinor);
        EXPECT_EQ(board.fpgaVersion(), expected);
        EXPECT_TRUE(board.fpgaDone());
        EXPECT_EQ(jtagIn(board, 0x3CFF)[0] & kCaptureDone, kCaptureDone);
        EXPECT_TRUE(handshakeAnswers(board));
        // The flash holds the design's stream from address 0, and a power cycle reads it again.
        const Bytes stream =
            BitstreamBuilder::release(config.fpgaMajor, config.fpgaMinor, config.fpgaIdcode)
                .build();
        const Bytes flash = board.flashContents();
        EXPECT_TRUE(std::equal(stream.begin(), stream.end(), flash.begin()));
        replug(board);
        EXPECT_EQ(board.fpgaVersion(), expected);
    }
    // Version 0.0: the flash left the factory blank.
    CameraBoard blank(boardOf("RT4207,fpga=0.0"), 0);
    EXPECT_EQ(blank.fpgaVersion(), 0);
    EXPECT_FALSE(blank.fpgaDone());
    EXPECT_FALSE(handshakeAnswers(blank));
}

TEST(FpgaPowerOn, ErasedFlashLeavesTheFpgaUnconfiguredFromTheNextPowerOn) {
    for (const char* text : {"RT4207,flash=sst", "RT4207,flash=page"}) {
        SCOPED_TRACE(text);
        CameraBoard board(boardOf(text), 0);
        identifyAndUnprotect(board);
        chipErase(board);
        // The running design goes on until the power goes.
        EXPECT_EQ(board.fpgaVersion(), 0x0130);
        replug(board);
        EXPECT_EQ(board.fpgaVersion(), 0);
        EXPECT_EQ(fpgaReadBytes(board, 0x00, 2), (Bytes{0x00, 0x00}));
        EXPECT_FALSE(board.fpgaDone());
        EXPECT_EQ(jtagIn(board, 0x3CFF), (Bytes{0x11}));  // init, not done
        EXPECT_FALSE(handshakeAnswers(board));
    }
}

TEST(FpgaPowerOn, ProgrammedImageConfiguresTheNextPowerOnAndAJtagDesignIsLost) {
    for (const char* text : {"RT4207,flash=sst", "RT4207,flash=page"}) {
        SCOPED_TRACE(text);
        CameraBoard board(boardOf(text), 0);
        const uint8_t maker = identifyAndUnprotect(board);
        chipErase(board);
        programRecords(board, maker, releaseRecords(0x01, 0x20));
        replug(board);
        EXPECT_EQ(board.fpgaVersion(), 0x0120);
        EXPECT_TRUE(board.fpgaDone());
        EXPECT_TRUE(handshakeAnswers(board));
        // A design loaded over JTAG runs until the next power cycle only.
        EXPECT_EQ(jtagLoad(board, BitstreamBuilder::release(0x01, 0x30).build()) & kCaptureDone,
                  kCaptureDone);
        EXPECT_EQ(board.fpgaVersion(), 0x0130);
        replug(board);
        EXPECT_EQ(board.fpgaVersion(), 0x0120);
    }
}

TEST(FpgaPowerOn, DamagedOrForeignStreamInTheFlashConfiguresNothing) {
    // One cleared bit in the frame data: the stream's CRC no longer matches.
    {
        CameraBoard board(boardOf("RT4207,flash=page"), 0);
        identifyAndUnprotect(board);
        spi(board, {0x06});
        spi(board, {0x02, 0x00, 0x10, 0x00, 0x00});
        EXPECT_EQ(board.flashContents()[0x1000], 0x00);
        replug(board);
        EXPECT_EQ(board.fpgaVersion(), 0);
        EXPECT_FALSE(board.fpgaDone());
    }
    // A stream for another device's IDCODE.
    {
        CameraBoard board(boardOf("RT4207,flash=page"), 0);
        identifyAndUnprotect(board);
        chipErase(board);
        programRecords(
            board, 0x20,
            FlashImage::records(BitstreamBuilder::release(0x01, 0x20, 0x12345093).build()));
        replug(board);
        EXPECT_FALSE(board.fpgaDone());
    }
}
