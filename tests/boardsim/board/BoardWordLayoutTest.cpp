// The first variant's frames in the word layout (FPGA design below 1.48): banks, status and
// counter registers, the start pulse and the repeat of the selected bank.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "support/BoardWire.h"

using namespace boardwire;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kFrame = 480000;

// A whole word-layout transfer, read as the host's frame read does.
Bytes readFrame(CameraBoard& board) {
    Bytes frame;
    while (frame.size() < kFrame) {
        int result = 0;
        const Bytes part =
            bulkRead(board, kFrame - static_cast<uint32_t>(frame.size()), 1000ms, &result);
        EXPECT_GT(result, 0);
        if (result <= 0) {
            break;
        }
        frame.insert(frame.end(), part.begin(), part.end());
    }
    return frame;
}

bool busy(CameraBoard& board) {
    return (fpgaRead(board, 0x62) & 0x04) != 0;
}

bool ready(CameraBoard& board) {
    return (fpgaRead(board, 0x62) & 0x01) != 0;
}

}  // namespace

TEST(BoardWordLayout, BanksRotateAndCountersCountWithTime) {
    CameraBoard board(frameBoard(200), 0);
    EXPECT_EQ(fpgaRead(board, 0x77), 0);
    EXPECT_EQ(fpgaRead(board, 0x62), 0);
    EXPECT_EQ(fpgaRead(board, 0x11), 0);
    board.advanceClock(4ms);
    EXPECT_EQ(fpgaRead(board, 0x11), 0);
    board.advanceClock(1ms);
    EXPECT_EQ(fpgaRead(board, 0x11), 1);
    EXPECT_EQ(fpgaRead(board, 0x77), 0);
    EXPECT_EQ(fpgaRead(board, 0x62), 0x01);
    board.advanceClock(15ms);
    EXPECT_EQ(fpgaRead(board, 0x77), 3);
    EXPECT_EQ(fpgaRead(board, 0x11), 4);
    board.advanceClock(5ms);
    EXPECT_EQ(fpgaRead(board, 0x77), 0);
    board.advanceClock(1500ms);  // 300 frames more
    EXPECT_EQ(fpgaRead(board, 0x11), 0x31);
    EXPECT_EQ(fpgaRead(board, 0x12), 0x01);
    EXPECT_EQ(fpgaRead(board, 0x77), 304 % 4);
    EXPECT_EQ(board.framesProduced(), 305u);
    EXPECT_EQ(board.fpgaRegister(0x11), 0x31);
    EXPECT_EQ(interruptRead(board), 305u);
    EXPECT_EQ(frameCounts(board), std::make_pair(305, 0));
    // The counter registers are read-only.
    testing::internal::CaptureStderr();
    fpgaWrite(board, 0x11, 0);
    fpgaWrite(board, 0x77, 2);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(fpgaRead(board, 0x11), 0x31);
    EXPECT_EQ(fpgaRead(board, 0x77), 0);
}

TEST(BoardWordLayout, StartPulseSendsTheSelectedBankAndBusyLastsUntilItIsRead) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(20ms);  // frames 0-3 in banks 0-3
    startBank(board, 2);
    EXPECT_TRUE(busy(board));
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 1u);
    const Bytes head = bulkRead(board, 1000, 1000ms);
    EXPECT_EQ(head.size(), 1000u);
    EXPECT_TRUE(busy(board));
    const Bytes rest = bulkRead(board, kFrame, 1000ms);
    EXPECT_EQ(rest.size(), kFrame - 1000);
    EXPECT_FALSE(busy(board));
    Bytes bank2 = head;
    bank2.insert(bank2.end(), rest.begin(), rest.end());
    EXPECT_TRUE(std::any_of(bank2.begin(), bank2.end(), [](uint8_t b) { return b != 0; }));

    startBank(board, 1);
    const Bytes bank1 = readFrame(board);
    EXPECT_NE(bank1, bank2);
    // The bank still holds the same frame: the same bytes again.
    startBank(board, 2);
    EXPECT_EQ(readFrame(board), bank2);
    // Four frames later the sensor has filled it anew.
    board.advanceClock(20ms);
    startBank(board, 2);
    EXPECT_NE(readFrame(board), bank2);
    EXPECT_EQ(frameCounts(board), std::make_pair(8, 4));
}

TEST(BoardWordLayout, ReadyBitTellsWhetherTheNewestFrameWasSent) {
    CameraBoard board(frameBoard(200), 0);
    EXPECT_FALSE(ready(board));
    board.advanceClock(5ms);
    EXPECT_TRUE(ready(board));
    startBank(board, 0);
    EXPECT_FALSE(ready(board));
    readFrame(board);
    board.advanceClock(5ms);
    EXPECT_TRUE(ready(board));
    startBank(board, 0);  // not the newest bank
    EXPECT_TRUE(ready(board));
    readFrame(board);
    startBank(board, 1);
    EXPECT_FALSE(ready(board));
}

TEST(BoardWordLayout, TheSelectedBankIsSentAgainUntilAnotherPulseOrAReset) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(10ms);
    startBank(board, 1);
    const Bytes first = readFrame(board);
    EXPECT_FALSE(busy(board));
    // A host that finds no new bank still reads a frame: the same one, and it is not a started
    // transfer.
    EXPECT_EQ(readFrame(board), first);
    EXPECT_FALSE(busy(board));
    EXPECT_EQ(readFrame(board), first);
    EXPECT_EQ(frameCounts(board).second, 3);
    // The bank has a newer frame by the next repeat.
    board.advanceClock(20ms);
    EXPECT_NE(readFrame(board), first);
    // At most one frame waits: a pulse replaces what was queued.
    startBank(board, 2);
    startBank(board, 3);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 1u);
    readFrame(board);
    // Register 0x60 ends the transfers.
    fpgaWrite(board, 0x60, 0);
    int result = 0;
    bulkRead(board, kFrame, 30ms, &result);
    EXPECT_EQ(result, -ETIMEDOUT);
    EXPECT_EQ(fpgaRead(board, 0x62) & 0x04, 0);
}

TEST(BoardWordLayout, AddressAndLengthRegistersShapeTheTransfer) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(5ms);
    startBank(board, 0);
    const Bytes frame = readFrame(board);
    const auto setTransfer = [&board](uint32_t address, uint32_t words) {
        for (int i = 0; i < 4; ++i) {
            fpgaWrite(board, static_cast<uint8_t>(0x63 + i),
                      static_cast<uint8_t>(address >> 8 * i));
        }
        for (int i = 0; i < 3; ++i) {
            fpgaWrite(board, static_cast<uint8_t>(0x67 + i), static_cast<uint8_t>(words >> 8 * i));
        }
        fpgaWrite(board, 0x61, 0);
        fpgaWrite(board, 0x61, 1);
    };
    // 64 words from 0x100 into bank 0, repeated as a short transfer.
    setTransfer(0x800100, 64);
    for (int round = 0; round < 2; ++round) {
        const Bytes part = bulkRead(board, kFrame, 1000ms);
        EXPECT_EQ(part, Bytes(frame.begin() + 0x100, frame.begin() + 0x200));
    }
    // A length past the bank's end stops at the end; memory after the frame reads 0.
    setTransfer(0x800100, 0x040000);
    const Bytes whole = bulkRead(board, 2 * 0x100000, 1000ms);
    ASSERT_EQ(whole.size(), 0x100000u - 0x100);
    EXPECT_TRUE(std::equal(frame.begin() + 0x100, frame.end(), whole.begin()));
    EXPECT_TRUE(std::all_of(whole.begin() + (kFrame - 0x100), whole.end(),
                            [](uint8_t b) { return b == 0; }));
    // An address outside the banks: memory without frames.
    setTransfer(0x000000, 16);
    EXPECT_EQ(bulkRead(board, kFrame, 1000ms), Bytes(64, 0));
    // Length 0 sends nothing.
    setTransfer(0x800000, 0);
    int result = 0;
    bulkRead(board, kFrame, 30ms, &result);
    EXPECT_EQ(result, -ETIMEDOUT);
    EXPECT_EQ(fpgaRead(board, 0x62) & 0x04, 0);
    // Only a rising edge of the start register starts a transfer.
    fpgaWrite(board, 0x67, 0x10);
    fpgaWrite(board, 0x61, 1);
    bulkRead(board, kFrame, 30ms, &result);
    EXPECT_EQ(result, -ETIMEDOUT);
}

TEST(BoardWordLayout, BankWithoutAFrameYetReadsZeros) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(5ms);
    startBank(board, 3);
    EXPECT_EQ(readFrame(board), Bytes(kFrame, 0));
}

TEST(BoardWordLayout, ATransferTakesItsTimeOnTheBusWhenThrottled) {
    CameraBoard board(frameBoard(30), 0);
    board.advanceClock(40ms);
    // 480000 bytes at 40 MB/s: the frame is there 12 ms after the pulse, not before.
    const auto start = std::chrono::steady_clock::now();
    startBank(board, 0);
    EXPECT_EQ(readFrame(board).size(), kFrame);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 12ms);
    // Unthrottled, at once: already there for a read that does not wait.
    CameraBoard fast(frameBoard(0), 0);
    startBank(fast, fpgaRead(fast, 0x77));
    int result = 0;
    bulkRead(fast, kFrame, 1ms, &result);
    EXPECT_EQ(result, static_cast<int>(kFrame));
}

TEST(BoardWordLayout, UnthrottledBoardHasAFreshFrameWheneverTheHostAsks) {
    CameraBoard board(frameBoard(0), 0);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(board.framesProduced(), 0u);  // time alone brings nothing
    // The host's tick: status, newest bank, pulse, read.
    int lastBank = 0;
    Bytes last;
    for (int tick = 0; tick < 20; ++tick) {
        EXPECT_TRUE(ready(board)) << tick;
        const int bank = fpgaRead(board, 0x77) & 3;
        EXPECT_NE(bank, lastBank) << tick;
        startBank(board, bank);
        const Bytes frame = bulkRead(board, kFrame, 1000ms);
        ASSERT_EQ(frame.size(), kFrame);
        EXPECT_NE(frame, last);
        last = frame;
        lastBank = bank;
    }
    EXPECT_EQ(board.framesProduced(), 40u);  // one from the status, one from the bank register
    EXPECT_EQ(frameCounts(board), std::make_pair(40, 20));
}

TEST(BoardWordLayout, NoFramesWhileTheDvpClockIsStoppedOrTheSensorInReset) {
    CameraBoard board(frameBoard(200), 0);
    board.advanceClock(10ms);
    sensorWrite(board, 0x3003, 0x00);
    board.advanceClock(100ms);
    EXPECT_EQ(board.framesProduced(), 2u);
    startBank(board, 1);
    readFrame(board);
    board.advanceClock(100ms);
    EXPECT_FALSE(ready(board));
    // A restart begins a new period.
    sensorWrite(board, 0x3003, 0x20);
    board.advanceClock(4ms);
    EXPECT_EQ(board.framesProduced(), 2u);
    board.advanceClock(1ms);
    EXPECT_EQ(board.framesProduced(), 3u);
    EXPECT_EQ(fpgaRead(board, 0x77), 2);
    // The sensor's ISP held in reset, as the register file does for 300 ms.
    sensorWrite(board, 0x3008, 0x42);
    board.advanceClock(300ms);
    EXPECT_EQ(board.framesProduced(), 3u);
    sensorWrite(board, 0x3008, 0x02);
    board.advanceClock(5ms);
    EXPECT_EQ(board.framesProduced(), 4u);
    // The board's own side of the register counts too.
    board.setSensorRegister(0x3003, 0x00);
    board.advanceClock(50ms);
    EXPECT_EQ(board.framesProduced(), 4u);

    CameraBoard fast(frameBoard(0), 0);
    sensorWrite(fast, 0x3003, 0x00);
    fpgaRead(fast, 0x77);
    fpgaRead(fast, 0x62);
    EXPECT_EQ(fast.framesProduced(), 0u);
    sensorWrite(fast, 0x3003, 0x20);
    fpgaRead(fast, 0x77);
    EXPECT_EQ(fast.framesProduced(), 1u);
}

TEST(BoardWordLayout, RealTimeFramesArriveAtTheConfiguredRate) {
    boardsim::BoardConfig config = frameBoard(200);
    config.manualClock = false;
    CameraBoard board(config, 0);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(100ms);
    const uint64_t produced = board.framesProduced();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(produced, 19u);
    EXPECT_LE(produced, static_cast<uint64_t>(seconds * 200) + 1);
}
