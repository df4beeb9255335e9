// The second variant's continuous stream: acquisition mode 1 and 3, frames pushed as they come,
// dropped when the host falls behind, and the stream's thread ending with the board.
#include <gtest/gtest.h>

#include <cerrno>
#include <future>
#include <memory>

#include "host/SimHost.h"
#include "support/BoardWire.h"

using namespace boardwire;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kFrame = 480000;

boardsim::BoardConfig streamBoard(int fps) {
    return frameBoard(fps, 0x01, 0x2F, "MV3318");
}

uint16_t acquisitionState(CameraBoard& board) {
    uint8_t data[2] = {};
    EXPECT_EQ(board.handleControl({kVendorIn, 0xC0, 0, 0, 2}, data), 2);
    return static_cast<uint16_t>(data[0] | data[1] << 8);
}

// Advances the manual clock by one frame and waits until the stream has pushed it.
void nextFrame(CameraBoard& board, std::chrono::milliseconds period) {
    const uint64_t before = board.bulkIn().pushedCount();
    board.advanceClock(period);
    ASSERT_TRUE(waitFor([&] { return board.bulkIn().pushedCount() > before; }));
}

}  // namespace

TEST(BoardStream, Mode1StreamsEveryFrameAndMode3StopsIt) {
    CameraBoard board(streamBoard(200), 0);
    EXPECT_EQ(acquisitionState(board), 3);
    ASSERT_EQ(acquisition(board, 1), 0);
    EXPECT_TRUE(board.streaming());
    EXPECT_EQ(acquisitionState(board), 1);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 0u);  // frames from the start on only
    Bytes previous;
    for (int i = 0; i < 3; ++i) {
        nextFrame(board, 5ms);
        int result = 0;
        const Bytes frame = bulkRead(board, kFrame + 512, 1000ms, &result);
        ASSERT_EQ(result, static_cast<int>(kFrame));  // one transfer per frame
        EXPECT_NE(frame, previous);
        previous = frame;
    }
    EXPECT_EQ(frameCounts(board), std::make_pair(3, 3));
    ASSERT_EQ(acquisition(board, 3), 0);
    EXPECT_FALSE(board.streaming());
    EXPECT_EQ(acquisitionState(board), 3);
    board.advanceClock(50ms);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(board.bulkIn().pushedCount(), 3u);
    EXPECT_EQ(board.framesProduced(), 13u);
    // And again.
    ASSERT_EQ(acquisition(board, 1), 0);
    nextFrame(board, 5ms);
    EXPECT_EQ(bulkRead(board, kFrame, 1000ms).size(), kFrame);
    EXPECT_EQ(board.framesDropped(), 0u);
}

TEST(BoardStream, TheOldestQueuedFramesAreDroppedWhenTheHostFallsBehind) {
    CameraBoard board(streamBoard(200), 0);
    ASSERT_EQ(acquisition(board, 1), 0);
    for (int i = 0; i < 8; ++i) {
        nextFrame(board, 5ms);
    }
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 3u);
    EXPECT_EQ(board.framesDropped(), 5u);
    // A host that has begun a transfer keeps it.
    EXPECT_EQ(bulkRead(board, 1000, 1000ms).size(), 1000u);
    nextFrame(board, 5ms);
    nextFrame(board, 5ms);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 3u);
    EXPECT_EQ(board.framesDropped(), 7u);
    EXPECT_EQ(bulkRead(board, kFrame, 1000ms).size(), kFrame - 1000);
    // Frames the stream did not get to count as dropped too.
    while (board.bulkIn().queuedTransfers() > 0) {
        bulkRead(board, kFrame, 1000ms);
    }
    nextFrame(board, 50ms);  // ten frames at once: the newest goes out
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 1u);
    EXPECT_EQ(board.framesDropped(), 16u);
}

TEST(BoardStream, UnthrottledStreamKeepsTwoFramesWaiting) {
    CameraBoard board(streamBoard(0), 0);
    ASSERT_EQ(acquisition(board, 1), 0);
    ASSERT_TRUE(waitFor([&] { return board.bulkIn().queuedTransfers() == 2; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 2u);
    EXPECT_EQ(board.framesProduced(), 2u);
    for (uint64_t i = 0; i < 10; ++i) {
        EXPECT_EQ(bulkRead(board, kFrame, 1000ms).size(), kFrame);
        ASSERT_TRUE(waitFor([&] { return board.framesProduced() == 3 + i; }));
    }
    EXPECT_EQ(board.framesDropped(), 0u);
}

TEST(BoardStream, FirstVariantBoardsDoNotStream) {
    CameraBoard board(frameBoard(200), 0);
    ASSERT_EQ(acquisition(board, 1), 0);
    EXPECT_EQ(acquisitionState(board), 1);
    EXPECT_FALSE(board.streaming());
    board.advanceClock(20ms);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(board.bulkIn().pushedCount(), 0u);
}

TEST(BoardStream, NoFramesWhileTheDvpClockIsStopped) {
    CameraBoard board(streamBoard(200), 0);
    ASSERT_EQ(acquisition(board, 1), 0);
    sensorWrite(board, 0x3003, 0x00);
    board.advanceClock(100ms);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(board.bulkIn().pushedCount(), 0u);
    sensorWrite(board, 0x3003, 0x20);
    nextFrame(board, 5ms);
    EXPECT_EQ(board.framesProduced(), 1u);

    CameraBoard fast(streamBoard(0), 0);
    sensorWrite(fast, 0x3003, 0x00);
    ASSERT_EQ(acquisition(fast, 1), 0);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(fast.bulkIn().pushedCount(), 0u);
    sensorWrite(fast, 0x3003, 0x20);
    EXPECT_TRUE(waitFor([&] { return fast.bulkIn().queuedTransfers() == 2; }));
}

TEST(BoardStream, RealTimeStreamAccountsForEveryFrame) {
    boardsim::BoardConfig config = streamBoard(50);
    config.manualClock = false;
    CameraBoard board(config, 0);
    ASSERT_EQ(acquisition(board, 1), 0);
    const auto start = std::chrono::steady_clock::now();
    const uint64_t before = board.framesProduced();
    std::this_thread::sleep_for(300ms);
    sensorWrite(board, 0x3003, 0x00);  // no frames from here on
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const uint64_t produced = board.framesProduced() - before;
    EXPECT_GE(produced, 14u);
    EXPECT_LE(produced, static_cast<uint64_t>(seconds * 50) + 1);
    // Nobody reads: once the stream has caught up (slow builds render slowly and skip more),
    // each frame waits or was dropped.
    const auto accounted = [&board] {
        return board.bulkIn().queuedTransfers() + board.framesDropped();
    };
    EXPECT_TRUE(waitFor([&] { return accounted() >= produced; }));
    EXPECT_LE(accounted(), produced + 1);  // one more if it came between the start and before
    EXPECT_GE(board.bulkIn().queuedTransfers(), 1u);
    EXPECT_LE(board.bulkIn().queuedTransfers(), 3u);
}

TEST(BoardStream, UnplugEndsTheStreamAndAReplugLeavesItOff) {
    boardsim::SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("MV3318,fps=100", error));
    const auto board = host.presentBoards().front();
    ASSERT_EQ(acquisition(*board, 1), 0);
    ASSERT_TRUE(waitFor([&] { return board->bulkIn().pushedCount() > 0; }));
    auto reader = std::async(std::launch::async, [&board] {
        int result = 0;
        for (int i = 0; i < 1000 && result >= 0; ++i) {
            bulkRead(*board, kFrame, 0ms, &result);
        }
        return result;
    });
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(host.unplug(board->path()));
    ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(reader.get(), -ENODEV);
    EXPECT_FALSE(board->streaming());
    ASSERT_TRUE(host.plug(board->path()));
    EXPECT_FALSE(board->streaming());
    EXPECT_EQ(acquisitionState(*board), 3);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(board->bulkIn().queuedTransfers(), 0u);
}

TEST(BoardStream, DestroyingAStreamingBoardEndsItsThread) {
    for (const int fps : {0, 30}) {
        auto board = std::make_unique<CameraBoard>(streamBoard(fps), 0);
        ASSERT_EQ(acquisition(*board, 1), 0);
        if (fps == 0) {
            ASSERT_TRUE(waitFor([&] { return board->bulkIn().queuedTransfers() == 2; }));
        }
        const auto start = std::chrono::steady_clock::now();
        board.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    }
}
