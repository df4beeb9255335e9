// Faults on the way of a frame: a stalled bulk IN FIFO and its three cures, and a board that
// leaves in the middle of a transfer.
#include <gtest/gtest.h>

#include <cerrno>

#include "support/BoardWire.h"

using namespace boardwire;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kFrame = 480000;

}  // namespace

TEST(BoardFrameFault, AStalledFifoFailsReadsUntilTheHaltIsCleared) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(5ms);
    startBank(board, 0);
    board.setBulkInStalled(true);
    int result = 0;
    bulkRead(board, kFrame, 1000ms, &result);
    EXPECT_EQ(result, -EPIPE);
    EXPECT_EQ(fpgaRead(board, 0x62) & 0x04, 0x04);  // the transfer still waits
    EXPECT_EQ(board.clearHalt(CameraBoard::kBulkIn), 0);
    const Bytes frame = bulkRead(board, kFrame, 1000ms);
    EXPECT_EQ(frame.size(), kFrame);
    EXPECT_EQ(fpgaRead(board, 0x62) & 0x04, 0);
}

TEST(BoardFrameFault, FifoResetAndRecoveryClearTheStallAndTheRepeatGoesOn) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(5ms);
    startBank(board, 0);
    const Bytes frame = bulkRead(board, kFrame, 1000ms);
    ASSERT_EQ(frame.size(), kFrame);
    EXPECT_EQ(frameCounts(board), std::make_pair(1, 1));

    // FIFO reset: the halt and the queued repeat go, the controller's counters restart.
    board.setBulkInStalled(true);
    int result = 0;
    bulkRead(board, kFrame, 1000ms, &result);
    EXPECT_EQ(result, -EPIPE);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 1u);
    EXPECT_EQ(acquisition(board, 0), 0);
    EXPECT_FALSE(board.bulkInStalled());
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 0u);
    EXPECT_EQ(frameCounts(board), std::make_pair(0, 0));
    EXPECT_EQ(bulkRead(board, kFrame, 1000ms), frame);  // the selected bank from its start
    EXPECT_EQ(frameCounts(board), std::make_pair(0, 1));
    EXPECT_EQ(fpgaRead(board, 0x11), 1);  // the FPGA's own counter goes on

    // Recovery request 0x19.
    board.setBulkInStalled(true);
    Bytes recover{0x00, 0x01};
    EXPECT_EQ(board.handleControl({kVendorOut, 0x19, 0, 0x7D, 2}, recover.data()), 2);
    EXPECT_FALSE(board.bulkInStalled());
    EXPECT_EQ(bulkRead(board, kFrame, 1000ms), frame);
}

TEST(BoardFrameFault, UnplugInTheMiddleOfATransferEndsIt) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(10ms);
    startBank(board, 1);
    EXPECT_EQ(bulkRead(board, 1000, 1000ms).size(), 1000u);
    board.setPlugged(false);
    int result = 0;
    bulkRead(board, kFrame, 100ms, &result);
    EXPECT_EQ(result, -ENODEV);
    EXPECT_EQ(board.handleControl({kVendorIn, 0xA9, 0x62, kFpga, 1}, Bytes(1).data()), -ENODEV);
    Bytes data(4);
    EXPECT_EQ(board.handleData(CameraBoard::kInterruptIn, data.data(), 4, 20ms), -ENODEV);
    EXPECT_EQ(board.handleData(CameraBoard::kInterruptOut, data.data(), 1, 20ms), -ENODEV);
    // Back on the bus it starts afresh: no frames, no selection, nothing to read.
    board.setPlugged(true);
    EXPECT_EQ(board.framesProduced(), 0u);
    EXPECT_EQ(fpgaRead(board, 0x62), 0);
    EXPECT_EQ(fpgaRead(board, 0x77), 0);
    bulkRead(board, kFrame, 30ms, &result);
    EXPECT_EQ(result, -ETIMEDOUT);
    board.advanceClock(5ms);
    EXPECT_EQ(board.framesProduced(), 1u);
    startBank(board, 0);
    EXPECT_EQ(bulkRead(board, kFrame, 1000ms).size(), kFrame);
}

TEST(BoardFrameFault, TimedOutControlTransfersLeaveTheFramesAlone) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(5ms);
    board.setControlTimeouts(2);
    uint8_t value = 1;
    EXPECT_EQ(board.handleControl({kVendorOut, 0xA9, 0x61, kFpga, 1}, &value), -ETIMEDOUT);
    EXPECT_EQ(board.handleControl({kVendorIn, 0xA9, 0x77, kFpga, 1}, &value), -ETIMEDOUT);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 0u);
    EXPECT_EQ(fpgaRead(board, 0x62), 0x01);
}
