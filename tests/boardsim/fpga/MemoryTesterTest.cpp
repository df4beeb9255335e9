// The FPGA's memory tester and the image function registers, as the host reaches them over the
// I2C bridge, and the memory fault through the configuration and the control channel.
#include <gtest/gtest.h>

#include "config/SimConfigParser.h"
#include "control/ControlCommands.h"
#include "host/SimHost.h"
#include "support/BoardWire.h"

using boardwire::fpgaRead;
using boardwire::fpgaWrite;

namespace {

constexpr uint8_t kControl = 0x15;
constexpr uint8_t kPattern = 0x3F;
constexpr uint8_t kStatus = 0x46;
constexpr uint8_t kDone = 0x01;
constexpr uint8_t kMismatch = 0x02;

// The status after one pass with pattern, run as the host runs it.
uint8_t pass(boardsim::CameraBoard& board, uint8_t pattern) {
    fpgaWrite(board, kControl, 0);
    EXPECT_EQ(fpgaRead(board, kStatus), 0);
    fpgaWrite(board, kControl, 1);
    fpgaWrite(board, kPattern, pattern);
    return fpgaRead(board, kStatus);
}

boardsim::BoardConfig parsed(const char* text) {
    std::vector<boardsim::BoardConfig> boards;
    std::string error;
    EXPECT_TRUE(boardsim::SimConfigParser::parse(text, boards, error)) << error;
    return boards.empty() ? boardsim::BoardConfig() : boards.front();
}

}  // namespace

TEST(MemoryTester, ASoundMemoryPassesEveryPattern) {
    boardsim::CameraBoard board(boardsim::BoardConfig(), 0);
    EXPECT_EQ(fpgaRead(board, kStatus), 0);
    for (const int pattern : {0x00, 0xFF, 0x55, 0xAA, 0x08}) {
        EXPECT_EQ(pass(board, static_cast<uint8_t>(pattern)), kDone) << pattern;
        EXPECT_EQ(fpgaRead(board, kPattern), pattern);
    }
    // Stopping clears the result; the status is read-only.
    fpgaWrite(board, kControl, 0);
    EXPECT_EQ(fpgaRead(board, kStatus), 0);
    fpgaWrite(board, kStatus, 0x03);
    EXPECT_EQ(fpgaRead(board, kStatus), 0);
}

TEST(MemoryTester, APatternWrittenWhileStoppedRunsNoPass) {
    boardsim::CameraBoard board(boardsim::BoardConfig(), 0);
    fpgaWrite(board, kControl, 0);
    fpgaWrite(board, kPattern, 0xA5);
    EXPECT_EQ(fpgaRead(board, kPattern), 0xA5);
    EXPECT_EQ(fpgaRead(board, kStatus), 0);
    // Arming alone runs nothing either.
    fpgaWrite(board, kControl, 1);
    EXPECT_EQ(fpgaRead(board, kStatus), 0);
}

TEST(MemoryTester, AStuckDataLineFailsThePatternsThatSetIt) {
    boardsim::CameraBoard board(parsed("RT4207,memfault=on"), 0);
    EXPECT_TRUE(board.memoryFault());
    EXPECT_EQ(pass(board, 0x00), kDone);
    EXPECT_EQ(pass(board, 0x55), kDone);
    EXPECT_EQ(pass(board, 0xFF), kDone | kMismatch);
    EXPECT_EQ(pass(board, 0x08), kDone | kMismatch);
    board.setMemoryFault(false);
    EXPECT_EQ(pass(board, 0xFF), kDone);
}

TEST(MemoryTester, TheFaultIsSwitchedThroughTheControlChannel) {
    boardsim::SimHost host;
    host.configure({boardsim::BoardConfig()});
    const auto board = host.boards().front();
    boardsim::ControlCommands commands(host);
    EXPECT_EQ(commands.execute("fault memory on"),
              (std::vector<std::string>{"sim:RT4207-x6B6B:0: a frame memory data line is stuck low",
                                        "ok"}));
    EXPECT_TRUE(board->memoryFault());
    EXPECT_NE(commands.execute("list")[0].find("faults=memory"), std::string::npos);
    EXPECT_EQ(pass(*board, 0xFF), kDone | kMismatch);
    EXPECT_EQ(commands.execute("fault memory off").front(),
              "sim:RT4207-x6B6B:0: the frame memory is sound");
    EXPECT_EQ(pass(*board, 0xFF), kDone);
    EXPECT_EQ(commands.execute("fault memory"),
              (std::vector<std::string>{"error: usage: fault memory on|off [PATH]"}));
}

TEST(MemoryTester, TheFaultOutlivesAReplug) {
    boardsim::CameraBoard board(parsed("RT4207,memfault=on"), 0);
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(pass(board, 0xFF), kDone | kMismatch);
}

TEST(FpgaImageFunctions, HdmiMedianMotionAndDampeningReadBackWhatWasWritten) {
    boardsim::CameraBoard board(boardsim::BoardConfig(), 0);
    // Power-on: all off, the dampening coefficient at its reset value.
    EXPECT_EQ(fpgaRead(board, 0x7A), 0);
    EXPECT_EQ(fpgaRead(board, 0x20), 0);
    EXPECT_EQ(fpgaRead(board, 0x27), 0);
    EXPECT_EQ(fpgaRead(board, 0x21), 0x40);
    fpgaWrite(board, 0x7A, 1);
    fpgaWrite(board, 0x20, 1);
    fpgaWrite(board, 0x27, 1);
    fpgaWrite(board, 0x21, 66);
    EXPECT_EQ(fpgaRead(board, 0x7A), 1);
    EXPECT_EQ(fpgaRead(board, 0x20), 1);
    EXPECT_EQ(fpgaRead(board, 0x27), 1);
    EXPECT_EQ(fpgaRead(board, 0x21), 66);
    // A replug powers the FPGA up again.
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(fpgaRead(board, 0x7A), 0);
    EXPECT_EQ(fpgaRead(board, 0x21), 0x40);
}
