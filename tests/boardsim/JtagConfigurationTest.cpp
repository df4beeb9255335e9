// The FPGA's JTAG port and configuration engine, loaded as the host's bitstream loader does.
#include <gtest/gtest.h>

#include "ProgrammingWire.h"
#include "firmware/BitFile.h"
#include "firmware/BitstreamBuilder.h"
#include "fpga/ConfigurationEngine.h"

using namespace programming;
using boardsim::BitFile;
using boardsim::BitstreamBuilder;
using boardsim::BoardConfig;

namespace {

constexpr uint8_t kDone = 0x20;

BoardConfig jtagBoard() {
    BoardConfig config;
    config.manualClock = true;
    config.fpgaMajor = 0x01;
    config.fpgaMinor = 0x20;
    return config;
}

Bytes bitFile(uint8_t major, uint8_t minor, uint32_t idcode = 0) {
    BitstreamBuilder builder;
    builder.versionMajor = major;
    builder.versionMinor = minor;
    builder.idcode = idcode;
    BitFile header{"camera_top.ncd;UserID=0xFFFFFFFF", "sim6s20", "2026/01/12", "10:20:30"};
    return header.write(builder.build());
}

}  // namespace

TEST(JtagConfiguration, ValidBitstreamSetsDoneAndTheDesignsVersion) {
    CameraBoard board(jtagBoard(), 0);
    EXPECT_EQ(jtagLoad(board, bitFile(0x01, 0x30)) & kDone, kDone);
    EXPECT_TRUE(board.fpgaDone());
    EXPECT_EQ(fpgaReadBytes(board, 0x00, 2), (Bytes{0x30, 0x01}));
    // The new design waits for the start-up handshake.
    EXPECT_EQ(boardwire::fpgaRead(board, 0x41), 0);
    boardwire::fpgaWrite(board, 0x40, 1);
    EXPECT_EQ(boardwire::fpgaRead(board, 0x41), 1);
    // The design survives a replug.
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(board.fpgaVersion(), 0x0130);
}

TEST(JtagConfiguration, PreambleRepliesAndIdcodeFromTheConfiguration) {
    BoardConfig config = jtagBoard();
    config.fpgaIdcode = 0x12345093;
    CameraBoard board(config, 0);
    EXPECT_EQ(jtagIn(board, 0x3CFF), (Bytes{0x31}));  // configured: init and done
    EXPECT_EQ(jtagIn(board, 0xF009), (Bytes{0x31}));
    EXPECT_EQ(jtagIn(board, 0x0FFF, 4), (Bytes{0x93, 0x50, 0x34, 0x12}));
    EXPECT_EQ(jtagIn(board, 0xF03F), (Bytes{0x31}));
    EXPECT_EQ(jtagIn(board, 0x0FFF, 4), (Bytes{0, 0, 0, 0}));  // BYPASS
    // A bitstream for another IDCODE is refused.
    EXPECT_EQ(jtagLoad(board, bitFile(0x01, 0x30)) & kDone, 0);
    EXPECT_EQ(jtagLoad(board, bitFile(0x01, 0x30, 0x12345093)) & kDone, kDone);
    // Unknown operations and wrong directions stall.
    Bytes one(1);
    EXPECT_EQ(request(board, kVendorIn, 0xD0, 0x5500, one), -EPIPE);
    EXPECT_EQ(request(board, kVendorOut, 0xD0, 0xF009, one), -EPIPE);
}

TEST(JtagConfiguration, JprogramClearsTheConfiguration) {
    CameraBoard board(jtagBoard(), 0);
    EXPECT_EQ(jtagIn(board, 0xF00B)[0] & kDone, 0);
    EXPECT_FALSE(board.fpgaDone());
    EXPECT_EQ(fpgaReadBytes(board, 0x00, 2), (Bytes{0x00, 0x00}));
    // Not configured: the start-up handshake never answers ready.
    boardwire::fpgaWrite(board, 0x40, 1);
    EXPECT_EQ(boardwire::fpgaRead(board, 0x41), 0);
}

TEST(JtagConfiguration, TruncatedCorruptOrMisdeclaredStreamsLeaveDoneClear) {
    const Bytes good = bitFile(0x01, 0x30);
    struct Case {
        const char* name;
        Bytes file;
    };
    Bytes truncated(good.begin(), good.end() - 100);
    Bytes corrupt = good;
    corrupt[corrupt.size() / 2] ^= 0x04;  // one bit of frame data: the CRC no longer matches
    Bytes longer = good;
    longer.insert(longer.end(), {0x20, 0x00, 0x00, 0x00});  // beyond the declared length
    Bytes headerless(
        good.begin() + static_cast<std::ptrdiff_t>(BitFile::parseHeader(good)->streamOffset),
        good.end());
    Bytes unreversed = good;  // as if the loader had not reversed the bits: reverse them here
    for (uint8_t& byte : unreversed) {
        byte = reverseBits(byte);
    }
    for (const Case& c : {Case{"truncated", truncated}, Case{"corrupt", corrupt},
                          Case{"longer", longer}, Case{"unreversed", unreversed}}) {
        CameraBoard board(jtagBoard(), 0);
        EXPECT_EQ(jtagLoad(board, c.file) & kDone, 0) << c.name;
        EXPECT_EQ(board.fpgaVersion(), 0) << c.name;
    }
    // A bare configuration stream (no file header) is accepted.
    CameraBoard board(jtagBoard(), 0);
    EXPECT_EQ(jtagLoad(board, headerless) & kDone, kDone);
}

TEST(JtagConfiguration, DataTransfersReplyWithTheBytesTaken) {
    CameraBoard board(jtagBoard(), 0);
    jtagIn(board, 0xF005);
    Bytes piece(64, 0xFF);
    EXPECT_EQ(request(board, kVendorOut, 0xD0, 0x0FF0, piece), 64);
    Bytes last(5, 0xFF);
    EXPECT_EQ(request(board, kVendorOut, 0xD0, 0x0F0F, last), 5);
    Bytes odd(2, 0xFF);
    EXPECT_EQ(request(board, kVendorOut, 0xD0, 0x0F55, odd), -EPIPE);
    // JSTART with too few clocks does not start a design.
    jtagIn(board, 0xF00C);
    Bytes none;
    EXPECT_EQ(request(board, kVendorOut, 0xD0, 0xAA04, none), 0);
}

TEST(ConfigurationEngine, SaysWhyAStreamIsNotComplete) {
    BitstreamBuilder builder;
    const Bytes stream = builder.build();
    boardsim::ConfigurationEngine engine(0x0A51C0DD);
    EXPECT_EQ(engine.problem(), "no sync word");
    engine.feed(Bytes(stream.begin(), stream.begin() + 200));
    EXPECT_EQ(engine.problem(), "stream ended early");
    engine.feed(Bytes(stream.begin() + 200, stream.end()));
    EXPECT_EQ(engine.problem(), "");
    EXPECT_EQ(engine.version(), 0x0130);
    engine.reset();
    Bytes noStart = stream;
    // A packet header no engine knows, right after the sync word and its no-op.
    noStart[40] = 0xE0;
    engine.feed(noStart);
    EXPECT_FALSE(engine.complete());
    EXPECT_TRUE(engine.failed());
}
