#include "usb/DataPipe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <future>

using boardsim::DataPipe;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

namespace {

int readInto(DataPipe& pipe, Bytes& data, std::chrono::milliseconds timeout) {
    return pipe.read(data.data(), static_cast<uint32_t>(data.size()), timeout);
}

}  // namespace

TEST(DataPipe, ATransferIsNotReadableBeforeItsTime) {
    DataPipe pipe;
    Bytes data(8);
    const auto start = DataPipe::Clock::now();
    pipe.push({1, 2, 3}, start + 200ms);
    EXPECT_EQ(readInto(pipe, data, 5ms), -ETIMEDOUT);
    EXPECT_EQ(readInto(pipe, data, 1000ms), 3);
    EXPECT_GE(DataPipe::Clock::now() - start, 200ms);
    EXPECT_EQ(data[2], 3);
    // A later push waits behind an earlier one that is not ready yet.
    pipe.push({7}, DataPipe::Clock::now() + 30ms);
    pipe.push({8});
    EXPECT_EQ(readInto(pipe, data, 0ms), 1);
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(readInto(pipe, data, 0ms), 1);
    EXPECT_EQ(data[0], 8);
}

TEST(DataPipe, CountsPushedTakenAndFinishedTransfers) {
    DataPipe pipe;
    Bytes data(2);
    pipe.push({1, 2, 3});
    pipe.push({});
    pipe.push({4});
    EXPECT_EQ(pipe.pushedCount(), 3u);
    EXPECT_EQ(readInto(pipe, data, 1ms), 2);
    EXPECT_EQ(pipe.takenCount(), 0u);  // one byte of the first is left
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);
    EXPECT_EQ(readInto(pipe, data, 1ms), 0);  // the zero-length packet
    EXPECT_EQ(pipe.takenCount(), 2u);
    EXPECT_EQ(pipe.finishedCount(), 2u);
    pipe.clear();
    EXPECT_EQ(pipe.takenCount(), 2u);
    EXPECT_EQ(pipe.finishedCount(), 3u);
    pipe.push({5});
    pipe.setPresent(false);
    EXPECT_EQ(pipe.finishedCount(), 4u);
    pipe.push({6});  // gone: not queued, not counted
    EXPECT_EQ(pipe.pushedCount(), 4u);
    pipe.setPresent(true);
    EXPECT_EQ(pipe.queuedTransfers(), 0u);
}

TEST(DataPipe, TakenTransfersLeaveTheirBuffersForReuse) {
    DataPipe pipe;
    EXPECT_EQ(pipe.spareBuffer().capacity(), 0u);
    Bytes big(100000, 0x42);
    const uint8_t* storage = big.data();
    pipe.push(std::move(big));
    Bytes data(100000);
    EXPECT_EQ(readInto(pipe, data, 1ms), 100000);
    Bytes spare = pipe.spareBuffer();
    EXPECT_EQ(spare.data(), storage);
    EXPECT_EQ(spare.size(), 100000u);
    EXPECT_EQ(pipe.spareBuffer().capacity(), 0u);  // only one was left
    // Dropped transfers leave theirs too.
    pipe.push(std::move(spare));
    pipe.clear();
    EXPECT_EQ(pipe.spareBuffer().data(), storage);
}

TEST(DataPipe, ProvidedSparesCoverTheTransfersInFlight) {
    DataPipe pipe;
    pipe.push(Bytes(10));
    Bytes data(10);
    EXPECT_EQ(readInto(pipe, data, 1ms), 10);  // leaves a small spare
    pipe.provideSpares(3, 1000);
    std::vector<Bytes> taken;
    for (int i = 0; i < 3; ++i) {
        taken.push_back(pipe.spareBuffer(1000));
        EXPECT_GE(taken.back().capacity(), 1000u) << i;
    }
    EXPECT_EQ(pipe.spareBuffer(1000).capacity(), 0u);
    // Given back, a fitting one is chosen over a small one.
    pipe.push(Bytes(5));
    EXPECT_EQ(readInto(pipe, data, 1ms), 5);
    pipe.push(std::move(taken[0]));
    pipe.clear();
    EXPECT_GE(pipe.spareBuffer(1000).capacity(), 1000u);
    EXPECT_LT(pipe.spareBuffer(1000).capacity(), 1000u);
    // Never more than the pipe keeps.
    pipe.provideSpares(100, 16);
    int spares = 0;
    while (pipe.spareBuffer().capacity() > 0) {
        ++spares;
    }
    EXPECT_EQ(spares, static_cast<int>(DataPipe::kMaxSpares));
}

TEST(DataPipe, ManyTransfersQueueInOrderPastTheFirstRing) {
    DataPipe pipe;
    for (uint8_t i = 0; i < 40; ++i) {
        pipe.push({i});
    }
    Bytes data(1);
    for (uint8_t i = 0; i < 40; ++i) {
        ASSERT_EQ(readInto(pipe, data, 1ms), 1);
        EXPECT_EQ(data[0], i);
    }
    EXPECT_EQ(readInto(pipe, data, 1ms), -ETIMEDOUT);
}

TEST(DataPipe, DropOldestSparesATransferTheHostHasBegun) {
    DataPipe pipe;
    for (uint8_t i = 1; i <= 5; ++i) {
        pipe.push({i, i});
    }
    EXPECT_EQ(pipe.dropOldest(5), 0u);
    Bytes data(1);
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);  // transfer 1 begun
    EXPECT_EQ(pipe.dropOldest(2), 3u);        // 2, 3 and 4 go
    EXPECT_EQ(pipe.queuedTransfers(), 2u);
    EXPECT_EQ(pipe.finishedCount(), 3u);
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);
    EXPECT_EQ(data[0], 5);
    // keep 0 with a begun transfer keeps that one.
    pipe.push({6, 6});
    pipe.push({7, 7});
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);  // the rest of 5
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);  // 6 begun
    EXPECT_EQ(pipe.dropOldest(0), 1u);
    EXPECT_EQ(pipe.queuedTransfers(), 1u);
    EXPECT_EQ(pipe.dropOldest(0), 0u);
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);
    EXPECT_EQ(data[0], 6);
    EXPECT_EQ(pipe.queuedTransfers(), 0u);
}

TEST(DataPipe, WaitForRoomEndsWhenTheHostReads) {
    DataPipe pipe;
    EXPECT_TRUE(pipe.waitForRoom(1, 0ms));
    pipe.push({1});
    pipe.push({2});
    EXPECT_FALSE(pipe.waitForRoom(2, 10ms));
    auto waiter = std::async(std::launch::async, [&pipe] { return pipe.waitForRoom(2, 5000ms); });
    EXPECT_EQ(waiter.wait_for(20ms), std::future_status::timeout);
    Bytes data(1);
    EXPECT_EQ(readInto(pipe, data, 1ms), 1);
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(waiter.get());
    // A pipe that leaves ends the wait without room.
    pipe.push({3});
    auto gone = std::async(std::launch::async, [&pipe] { return pipe.waitForRoom(1, 5000ms); });
    pipe.setPresent(false);
    ASSERT_EQ(gone.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(gone.get());  // the queue was dropped with the device
}

TEST(DataPipe, AHaltOrCancelEndsAWaitForADelayedTransfer) {
    DataPipe pipe;
    pipe.push({1}, DataPipe::Clock::now() + 10s);
    auto reader = std::async(std::launch::async, [&pipe] {
        Bytes data(1);
        return readInto(pipe, data, 0ms);
    });
    EXPECT_EQ(reader.wait_for(20ms), std::future_status::timeout);
    pipe.cancel();
    ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(reader.get(), -ECANCELED);
    pipe.setHalted(true);
    Bytes data(1);
    EXPECT_EQ(readInto(pipe, data, 0ms), -EPIPE);
    EXPECT_EQ(pipe.queuedTransfers(), 1u);
}
