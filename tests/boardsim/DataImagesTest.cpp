// The simulator's firmware images and gamma tables under data/: they are what the generator
// makes, and the simulated board takes them as a real one takes its vendor's files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "FirmwareSet.h"
#include "firmware/BitFile.h"
#include "firmware/IntelHex.h"
#include "support/ProgrammingWire.h"

using namespace programming;
using boardsim::IntelHex;

namespace {

std::string readData(const std::string& name) {
    std::ifstream in(std::string(KX_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

boardsim::BoardConfig dataBoard() {
    boardsim::BoardConfig config;
    config.manualClock = true;
    config.flashEraseTime = std::chrono::milliseconds(1);
    return config;
}

}  // namespace

TEST(DataImages, CommittedFilesAreWhatTheGeneratorMakes) {
    for (const auto& file : firmwaregen::firmwareSet()) {
        EXPECT_EQ(readData(file.name), file.content) << file.name << ": run firmwaregen data";
    }
}

TEST(DataImages, BitstreamsConfigureTheFpgaWithTheirVersions) {
    CameraBoard board(dataBoard(), 0);
    EXPECT_EQ(jtagLoad(board, bytesOf(readData("firmware/fpga_1_20.bit"))) & 0x20, 0x20);
    EXPECT_EQ(board.fpgaVersion(), 0x0120);
    EXPECT_EQ(jtagLoad(board, bytesOf(readData("firmware/default.bit"))) & 0x20, 0x20);
    EXPECT_EQ(board.fpgaVersion(), 0x0130);
}

TEST(DataImages, FlashImageHoldsTheDesignsStreamInWholeRecords) {
    const auto chunks = IntelHex::parse(readData("firmware/default.mcs"));
    ASSERT_TRUE(chunks.has_value());
    Bytes image;
    for (const auto& chunk : *chunks) {
        ASSERT_EQ(chunk.data.size(), 16u);
        ASSERT_EQ(chunk.address, image.size());
        image.insert(image.end(), chunk.data.begin(), chunk.data.end());
    }
    const Bytes bit = bytesOf(readData("firmware/default.bit"));
    const std::size_t offset = boardsim::BitFile::parseHeader(bit)->streamOffset;
    ASSERT_GE(image.size(), bit.size() - offset);
    EXPECT_TRUE(
        std::equal(bit.begin() + static_cast<std::ptrdiff_t>(offset), bit.end(), image.begin()));
    // Programmed by either family's programming, the flash holds it from address 0, as a board
    // leaves the factory, and configures the FPGA with it.
    for (const auto family : {boardsim::FlashFamily::Sst, boardsim::FlashFamily::PageProgram}) {
        boardsim::BoardConfig config = dataBoard();
        config.flash = family;
        config.fpgaMinor = 0x20;
        CameraBoard board(config, 0);
        const uint8_t maker = identifyAndUnprotect(board);
        chipErase(board);
        programRecords(board, maker, *chunks);
        const Bytes flash = board.flashContents();
        EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
        EXPECT_EQ(board.fpgaVersion(), 0x0120);
        board.setPlugged(false);
        board.setPlugged(true);
        EXPECT_EQ(board.fpgaVersion(), 0x0130);
        CameraBoard factory(dataBoard(), 0);
        EXPECT_EQ(factory.flashContents(), flash);
    }
}

TEST(DataImages, ProgramsAndBootImageCarryTheirControllerVersions) {
    for (const auto& [name, expected] :
         {std::pair{"firmware/default.hex", 0x0107}, std::pair{"firmware/mcu_1_05.hex", 0x0105}}) {
        CameraBoard board(dataBoard(), 0);
        const auto chunks = IntelHex::parse(readData(name));
        ASSERT_TRUE(chunks.has_value()) << name;
        Bytes hold = {0x01};
        request(board, kVendorOut, 0xA0, 0xE600, hold);
        for (auto chunk : *chunks) {
            request(board, kVendorOut, 0xA0, static_cast<uint16_t>(chunk.address), chunk.data);
        }
        Bytes run = {0x00};
        request(board, kVendorOut, 0xA0, 0xE600, run);
        EXPECT_EQ(board.attachment(), 2u) << name;
        EXPECT_EQ(board.mcuVersion(), expected) << name;
    }
    boardsim::BoardConfig config = dataBoard();
    config.mcuVersion = 0x0105;
    CameraBoard board(config, 0);
    const Bytes iic = bytesOf(readData("firmware/default.iic"));
    for (std::size_t i = 0; i < iic.size(); ++i) {
        uint8_t byte = iic[i];
        board.handleControl({kVendorOut, 0xA9, static_cast<uint16_t>(i), 0x151, 1}, &byte);
    }
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(board.mcuVersion(), 0x0107);
}

TEST(DataImages, GammaTablesAreRisingType0CurvesOverTheWholeRange) {
    for (const int n : {0, 1, 2, 3, 7, 8, 9}) {
        const std::string name = "gamma/Lookup1024_" + std::to_string(n) + ".txt";
        std::istringstream text(readData(name));
        std::string line;
        std::vector<int> levels;
        while (std::getline(text, line)) {
            double input = 0;
            int level = -1;
            ASSERT_EQ(std::sscanf(line.c_str(), "%lf %d", &input, &level), 2) << name;
            EXPECT_EQ(input, static_cast<double>(levels.size())) << name;
            levels.push_back(level);
        }
        ASSERT_EQ(levels.size(), 1024u) << name;
        EXPECT_EQ(levels.front(), 0) << name;
        EXPECT_EQ(levels.back(), 1023) << name;
        EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end())) << name;
        if (n == 0) {
            EXPECT_EQ(levels[512], 512);
        } else if (n <= 3) {
            EXPECT_GT(levels[256], 256) << name;  // brightening gammas
        }
    }
}
