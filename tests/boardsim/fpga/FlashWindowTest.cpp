// The configuration flash behind the FPGA's SPI window, driven as the host's flash loaders do.
#include <gtest/gtest.h>

#include "config/SimConfigParser.h"
#include "support/ProgrammingWire.h"

using namespace programming;
using boardsim::BoardConfig;
using boardsim::FlashFamily;

namespace {

BoardConfig flashBoard(FlashFamily family, int eraseMs = 5) {
    BoardConfig config;
    config.flash = family;
    config.flashEraseTime = std::chrono::milliseconds(eraseMs);
    config.flashSize = 64 * 1024;
    config.manualClock = true;
    return config;
}

}  // namespace

TEST(FlashWindow, IdentificationNamesTheFamilyAndItsSize) {
    CameraBoard sst(flashBoard(FlashFamily::Sst), 0);
    spi(sst, {0x9F, 0x00});
    // Byte 0 is the last byte received; the opcode's slot reads 0.
    EXPECT_EQ(spiReceived(sst, 3), (Bytes{0xBF, 0x00, 0x00}));
    spi(sst, {0x9F, 0x00, 0x00, 0x00});
    EXPECT_EQ(spiReceived(sst, 4), (Bytes{0x10, 0x25, 0xBF, 0x00}));

    CameraBoard page(flashBoard(FlashFamily::PageProgram), 0);
    spi(page, {0x9F, 0x00, 0x00, 0x00});
    EXPECT_EQ(spiReceived(page, 3), (Bytes{0x10, 0x20, 0x20}));

    CameraBoard unknown(flashBoard(FlashFamily::Unknown), 0);
    spi(unknown, {0x9F, 0x00});
    EXPECT_EQ(spiReceived(unknown, 1), (Bytes{0xC2}));
}

TEST(FlashWindow, EraseGivesTheThreeStatusWordsAndStaysBusyForTheEraseTime) {
    for (const FlashFamily family : {FlashFamily::Sst, FlashFamily::PageProgram}) {
        CameraBoard board(flashBoard(family, 30), 0);
        // Fresh from the factory: protected, so an erase would be refused.
        EXPECT_EQ(statusWord(board) & 0x1C, 0x1C);
        identifyAndUnprotect(board);
        EXPECT_EQ(statusWord(board), 0x0000);
        spi(board, {0x06});
        EXPECT_EQ(statusWord(board), 0x0002);
        spi(board, {0x06});
        const auto start = std::chrono::steady_clock::now();
        spi(board, {0xC7});
        EXPECT_EQ(statusWord(board), 0x0003);
        // Nothing but a status read is taken while the erase runs.
        testing::internal::CaptureStderr();
        spi(board, {0x06});
        spi(board, {0x9F, 0x00});
        EXPECT_EQ(spiReceived(board, 1), (Bytes{0x00}));
        EXPECT_NE(testing::internal::GetCapturedStderr().find("0x9f while busy"),
                  std::string::npos);
        int polls = 0;
        while ((statusWord(board) & 0x01) != 0) {
            ++polls;
        }
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
        EXPECT_GT(polls, 0);
        EXPECT_EQ(statusWord(board), 0x0000);
        const Bytes contents = board.flashContents();
        EXPECT_TRUE(
            std::all_of(contents.begin(), contents.end(), [](uint8_t b) { return b == 0xFF; }));
    }
}

TEST(FlashWindow, ProtectionAndAMissingWriteEnableRefuseEraseAndProgramming) {
    CameraBoard board(flashBoard(FlashFamily::PageProgram), 0);
    // Protected: the erase is refused, and leaves write enable clear.
    spi(board, {0x06});
    testing::internal::CaptureStderr();
    spi(board, {0xC7});
    EXPECT_EQ(statusWord(board), 0x001C);
    // A status write needs write enable on this family (0x50 is the other family's).
    spi(board, {0x50});
    spi(board, {0x01, 0x00});
    EXPECT_EQ(statusWord(board), 0x001C);
    identifyAndUnprotect(board);
    // Page program without write enable changes nothing.
    spi(board, {0x02, 0x00, 0x00, 0x10, 0x12, 0x34});
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(flashRead16(board, 0x10)[0], 0xFF);
}

TEST(FlashWindow, PageProgramOnlyClearsBitsAndWrapsInsideItsPage) {
    CameraBoard board(flashBoard(FlashFamily::PageProgram), 0);
    identifyAndUnprotect(board);
    chipErase(board);
    // The loader's 21-byte write to 0x80: 16 data bytes reversed, the address low byte first,
    // then 0x02 and the count 0x14.
    Bytes data(16);
    for (int i = 0; i < 16; ++i) {
        data[i] = static_cast<uint8_t>(0xF0 + i);
    }
    spi(board, {0x06});
    Bytes window(data.rbegin(), data.rend());
    window.insert(window.end(), {0x20, 0x01, 0x00, 0x02, 0x14});
    fpgaWriteBytes(board, 0x80, window);
    EXPECT_EQ(flashRead16(board, 0x0120), data);
    // Write enable is spent: programming again needs another.
    EXPECT_EQ(statusWord(board) & 0x02, 0);
    // Programming 0x0F over 0xF0 leaves 0x00: bits are only cleared.
    spi(board, {0x06});
    spi(board, {0x02, 0x00, 0x01, 0x20, 0x0F, 0xFF});
    EXPECT_EQ(flashRead16(board, 0x0120)[0], 0x00);
    EXPECT_EQ(flashRead16(board, 0x0120)[1], 0xF1);
    // A program running past the page's end wraps to its start.
    spi(board, {0x06});
    spi(board, {0x02, 0x00, 0x02, 0xFF, 0xA1, 0xA2});
    EXPECT_EQ(board.flashContents()[0x2FF], 0xA1);
    EXPECT_EQ(board.flashContents()[0x200], 0xA2);
    EXPECT_EQ(board.flashContents()[0x300], 0xFF);
}

TEST(FlashWindow, WordProgramRunsOnThroughTheLoadersShortContinuationWrites) {
    CameraBoard board(flashBoard(FlashFamily::Sst), 0);
    identifyAndUnprotect(board);
    chipErase(board);
    // The loader: write enable before every pair; the first pair with SPI 0xAD and address 0
    // (7-byte write to 0x8E), every later pair as a 4-byte write to 0x91 with the count 6,
    // leaving 0x8E-0x90 as the first write left them.
    Bytes expected;
    for (int pair = 0; pair < 24; ++pair) {
        const auto d0 = static_cast<uint8_t>(2 * pair);
        const auto d1 = static_cast<uint8_t>(0x80 | pair);
        expected.insert(expected.end(), {d0, d1});
        spi(board, {0x06});
        if (pair == 0) {
            fpgaWriteBytes(board, 0x8E, {d1, d0, 0x00, 0x00, 0x00, 0xAD, 0x06});
        } else {
            fpgaWriteBytes(board, 0x91, {d1, d0, 0xAD, 0x06});
        }
    }
    EXPECT_EQ(statusWord(board) & 0x40, 0x40);
    const Bytes contents = board.flashContents();
    EXPECT_EQ(Bytes(contents.begin(), contents.begin() + 48), expected);
    EXPECT_EQ(contents[48], 0xFF);
    // Reads are not understood while the sequence runs; the end of flash programming (request
    // 0xAA) closes it.
    EXPECT_EQ(board.handleControl({kVendorOut, 0xAA, 0, 0, 0}, nullptr), 0);
    EXPECT_EQ(statusWord(board) & 0x42, 0x00);
    EXPECT_EQ(flashRead16(board, 16), Bytes(expected.begin() + 16, expected.begin() + 32));
}

TEST(FlashWindow, WindowKeepsWrittenBytesAndReadsZeroBeyondTheLastCommand) {
    CameraBoard board(flashBoard(FlashFamily::Sst), 0);
    spi(board, {0x9F, 0x00});
    EXPECT_EQ(spiReceived(board, 4), (Bytes{0xBF, 0x00, 0x00, 0x00}));
    // A count beyond the window's 20 bytes runs nothing.
    fpgaWriteBytes(board, 0x94, {21});
    EXPECT_EQ(spiReceived(board, 1), (Bytes{0xBF}));
    // The board still reads the stored window bytes.
    EXPECT_EQ(board.fpgaRegister(0x93), 0x9F);
}

TEST(FlashWindow, ProgramTimeKeepsTheFlashBusyAndLosesCommandsSentMeanwhile) {
    for (const FlashFamily family : {FlashFamily::PageProgram, FlashFamily::Sst}) {
        BoardConfig config = flashBoard(family);
        config.flashProgramTime = std::chrono::milliseconds(150);
        CameraBoard board(config, 0);
        const uint8_t maker = identifyAndUnprotect(board);
        chipErase(board);
        // Two records sent the programmer's way, without a status poll between them: the second
        // arrives while the first still programs and is lost.
        const Bytes first(16, 0x11);
        const Bytes second(16, 0x22);
        testing::internal::CaptureStderr();
        programRecords(board, maker, {{0x000, first}, {0x010, second}});
        EXPECT_EQ(statusWord(board) & 0x01, 0x01);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("while busy ignored"),
                  std::string::npos);
        ASSERT_TRUE(boardwire::waitFor([&] { return (statusWord(board) & 0x01) == 0; }));
        const Bytes contents = board.flashContents();
        // Page program: the first record whole. Word program: only its first word.
        const std::size_t kept = maker == 0xBF ? 2 : 16;
        EXPECT_EQ(Bytes(contents.begin(), contents.begin() + 32), [&] {
            Bytes expected(32, 0xFF);
            std::fill_n(expected.begin(), kept, 0x11);
            return expected;
        }()) << static_cast<int>(maker);
    }
}

TEST(FlashWindow, ConfigurationKeysChooseFamilySizeEraseAndProgramTime) {
    std::vector<BoardConfig> boards;
    std::string error;
    ASSERT_TRUE(boardsim::SimConfigParser::parse(
        "RT4207,flash=page,flashsize=512,erase=7,program=700", boards, error))
        << error;
    EXPECT_EQ(boards[0].flash, FlashFamily::PageProgram);
    EXPECT_EQ(boards[0].flashSize, 512u * 1024);
    EXPECT_EQ(boards[0].flashEraseTime, std::chrono::milliseconds(7));
    EXPECT_EQ(boards[0].flashProgramTime, std::chrono::microseconds(700));
    ASSERT_TRUE(boardsim::SimConfigParser::parse("RT4207", boards, error));
    EXPECT_EQ(boards[0].flashProgramTime, std::chrono::microseconds(0));
    EXPECT_FALSE(boardsim::SimConfigParser::parse("RT4207,program=-1", boards, error));
    EXPECT_EQ(error, "bad value for program: '-1'");
    EXPECT_FALSE(boardsim::SimConfigParser::parse("RT4207,flashsize=1000", boards, error));
    EXPECT_EQ(error, "bad value for flashsize: '1000'");
}
