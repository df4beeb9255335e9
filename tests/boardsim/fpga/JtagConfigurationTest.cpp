// The FPGA's JTAG port and configuration engine, loaded as the host's bitstream loader does.
#include <gtest/gtest.h>

#include "config/SimConfigParser.h"
#include "control/ControlCommands.h"
#include "firmware/BitFile.h"
#include "firmware/BitstreamBuilder.h"
#include "host/SimHost.h"
#include "support/ProgrammingWire.h"

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
    // It lives in the FPGA's memory only: a power cycle brings back the flash's design.
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(board.fpgaVersion(), 0x0120);
    EXPECT_TRUE(board.fpgaDone());
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

TEST(JtagConfiguration, TruncatedCorruptOrUnreversedStreamsLeaveDoneClear) {
    const Bytes good = bitFile(0x01, 0x30);
    struct Case {
        const char* name;
        Bytes file;
    };
    Bytes truncated(good.begin(), good.end() - 100);
    Bytes corrupt = good;
    corrupt[corrupt.size() / 2] ^= 0x04;  // one bit of frame data: the CRC no longer matches
    Bytes headerless(
        good.begin() + static_cast<std::ptrdiff_t>(BitFile::parseHeader(good)->streamOffset),
        good.end());
    Bytes unreversed = good;  // as if the loader had not reversed the bits: reverse them here
    for (uint8_t& byte : unreversed) {
        byte = reverseBits(byte);
    }
    for (const Case& c :
         {Case{"truncated", truncated}, Case{"corrupt", corrupt}, Case{"unreversed", unreversed}}) {
        CameraBoard board(jtagBoard(), 0);
        EXPECT_EQ(jtagLoad(board, c.file) & kDone, 0) << c.name;
        EXPECT_EQ(board.fpgaVersion(), 0) << c.name;
    }
    // A bare configuration stream (no file header) is accepted.
    CameraBoard board(jtagBoard(), 0);
    EXPECT_EQ(jtagLoad(board, headerless) & kDone, kDone);
}

TEST(JtagConfiguration, BytesAfterACompleteStreamAndTheFileHeaderMeanNothingToTheFpga) {
    const Bytes good = bitFile(0x01, 0x30);
    // Bytes after DESYNC, even ones that would be a packet header, are ignored.
    Bytes longer = good;
    longer.insert(longer.end(), {0xE0, 0x00, 0x00, 0x00, 0x12, 0x34});
    // A header declaring another length than the stream's: the FPGA never sees it.
    Bytes misdeclared = good;
    const std::size_t lengthAt = BitFile::parseHeader(good)->streamOffset - 4;
    misdeclared[lengthAt + 3] ^= 0x10;
    for (const Bytes& file : {longer, misdeclared}) {
        CameraBoard board(jtagBoard(), 0);
        EXPECT_EQ(jtagLoad(board, file) & kDone, kDone);
        EXPECT_EQ(board.fpgaVersion(), 0x0130);
    }
}

TEST(JtagConfiguration, DataPiecesOutsideAShiftTakeNothing) {
    const Bytes good = bitFile(0x01, 0x30);
    const auto send = [](CameraBoard& board, uint16_t value, const Bytes& bytes) {
        Bytes piece = bytes;
        for (uint8_t& byte : piece) {
            byte = reverseBits(byte);
        }
        return request(board, kVendorOut, 0xD0, value, piece);
    };
    const auto finish = [](CameraBoard& board) {
        jtagStart(board);
        return jtagIn(board, 0xF03F)[0];
    };
    // No first piece: later pieces after CFG_IN move nothing and reach no configuration.
    {
        CameraBoard board(jtagBoard(), 0);
        jtagIn(board, 0xF00B);
        jtagIn(board, 0xF005);
        const Bytes head(good.begin(), good.begin() + 64);
        const Bytes rest(good.begin() + 64, good.end());
        EXPECT_EQ(send(board, 0x0F00, head), 0);
        EXPECT_EQ(send(board, 0x0F0F, rest), 0);
        EXPECT_EQ(finish(board) & kDone, 0);
    }
    // After the last piece ended the shift, more pieces move nothing until a new first piece.
    {
        CameraBoard board(jtagBoard(), 0);
        jtagIn(board, 0xF00B);
        jtagIn(board, 0xF005);
        const Bytes head(good.begin(), good.begin() + 64);
        const Bytes middle(good.begin() + 64, good.begin() + 128);
        const Bytes rest(good.begin() + 128, good.end());
        EXPECT_EQ(send(board, 0x0FF0, head), 64);
        EXPECT_EQ(send(board, 0x0F0F, middle), 64);
        EXPECT_EQ(send(board, 0x0F00, rest), 0);
        EXPECT_EQ(finish(board) & kDone, 0);
        // CFG_IN again: a first piece starts a new shift.
        jtagIn(board, 0xF005);
        EXPECT_EQ(send(board, 0x0FF0, head), 64);
        EXPECT_EQ(send(board, 0x0F00, middle), 64);
        // An instruction loaded in the middle ends the shift too.
        jtagIn(board, 0xF03F);
        EXPECT_EQ(send(board, 0x0F0F, rest), 0);
    }
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

TEST(JtagConfiguration, StalledDataTransfersMoveNothingUntilTheFaultIsCleared) {
    boardsim::SimHost host;
    std::vector<BoardConfig> boards;
    std::string error;
    ASSERT_TRUE(boardsim::SimConfigParser::parse("RT4207,jtagstall=on", boards, error)) << error;
    host.configure(boards);
    const auto board = host.boards().front();
    EXPECT_TRUE(board->jtagStalled());
    jtagIn(*board, 0xF00B);
    jtagIn(*board, 0xF005);
    // Every data transfer of a whole file succeeds with 0 bytes moved, and none reaches the
    // configuration; the rest of the TAP still answers.
    const std::vector<int> moved = jtagShiftFile(*board, bitFile(0x01, 0x30));
    EXPECT_EQ(moved, std::vector<int>(moved.size(), 0));
    jtagStart(*board);
    EXPECT_EQ(jtagIn(*board, 0xF009), (Bytes{0x11}));
    EXPECT_EQ(jtagIn(*board, 0x0FFF, 4), (Bytes{0xDD, 0xC0, 0x51, 0x0A}));
    EXPECT_FALSE(board->fpgaDone());
    boardsim::ControlCommands commands(host);
    EXPECT_NE(commands.execute("list")[0].find("faults=jtagstall"), std::string::npos);
    EXPECT_EQ(commands.execute("fault jtagstall off"),
              (std::vector<std::string>{"sim:RT4207-x6B6B:0: JTAG data transfers move their bytes",
                                        "ok"}));
    EXPECT_EQ(jtagLoad(*board, bitFile(0x01, 0x30)) & kDone, kDone);
    EXPECT_EQ(commands.execute("fault jtagstall on").back(), "ok");
    Bytes piece(64, 0xFF);
    EXPECT_EQ(request(*board, kVendorOut, 0xD0, 0x0FF0, piece), 0);
}
