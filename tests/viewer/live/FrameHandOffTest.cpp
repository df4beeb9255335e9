// The hand-over of frames from the streaming thread to the GUI thread: frames offered while the
// GUI thread places one are dropped, the newest frame wins, the buffer shown never changes under
// the reader, and a frame is never torn.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "FrameHandOff.h"

namespace {

constexpr int kFrameBytes = 64;

std::vector<uint8_t> filled(uint8_t value, int bytes = kFrameBytes) {
    return std::vector<uint8_t>(static_cast<size_t>(bytes), value);
}

bool holds(const uint8_t* buffer, uint8_t value, int bytes = kFrameBytes) {
    for (int i = 0; i < bytes; ++i) {
        if (buffer[i] != value) {
            return false;
        }
    }
    return true;
}

TEST(FrameHandOff, NothingIsShownBeforeTheFirstFrame) {
    hv::FrameHandOff handOff(kFrameBytes);
    EXPECT_EQ(handOff.beginPlacing(), nullptr);
    handOff.endPlacing();
    EXPECT_TRUE(holds(handOff.shownFrame(), 0));
}

TEST(FrameHandOff, AnOfferedFrameIsTakenOnceAndThenNothingIsNew) {
    hv::FrameHandOff handOff(kFrameBytes);
    const auto frame = filled(7);
    ASSERT_TRUE(handOff.offer(frame.data(), kFrameBytes));

    const uint8_t* shown = handOff.beginPlacing();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(holds(shown, 7));
    EXPECT_EQ(handOff.shownFrame(), shown);
    handOff.endPlacing();

    EXPECT_EQ(handOff.beginPlacing(), nullptr);
    handOff.endPlacing();
    EXPECT_TRUE(holds(handOff.shownFrame(), 7));
}

TEST(FrameHandOff, FramesOfferedWhilePlacingAreDroppedAndNeverShownLater) {
    hv::FrameHandOff handOff(kFrameBytes);
    const auto first = filled(1);
    const auto during = filled(2);
    ASSERT_TRUE(handOff.offer(first.data(), kFrameBytes));

    ASSERT_NE(handOff.beginPlacing(), nullptr);
    EXPECT_FALSE(handOff.offer(during.data(), kFrameBytes));
    EXPECT_FALSE(handOff.offer(during.data(), kFrameBytes));
    handOff.endPlacing();

    EXPECT_EQ(handOff.beginPlacing(), nullptr);
    handOff.endPlacing();
    EXPECT_TRUE(holds(handOff.shownFrame(), 1));

    const auto after = filled(3);
    EXPECT_TRUE(handOff.offer(after.data(), kFrameBytes));
    const uint8_t* shown = handOff.beginPlacing();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(holds(shown, 3));
    handOff.endPlacing();
}

TEST(FrameHandOff, PlacingEvenWithNothingNewDropsFrames) {
    hv::FrameHandOff handOff(kFrameBytes);
    ASSERT_EQ(handOff.beginPlacing(), nullptr);
    const auto frame = filled(9);
    EXPECT_FALSE(handOff.offer(frame.data(), kFrameBytes));
    handOff.endPlacing();
    EXPECT_EQ(handOff.beginPlacing(), nullptr);
    handOff.endPlacing();
}

TEST(FrameHandOff, TheNewestOfSeveralFramesIsShown) {
    hv::FrameHandOff handOff(kFrameBytes);
    for (uint8_t value = 1; value <= 5; ++value) {
        const auto frame = filled(value);
        ASSERT_TRUE(handOff.offer(frame.data(), kFrameBytes));
    }
    const uint8_t* shown = handOff.beginPlacing();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(holds(shown, 5));
    handOff.endPlacing();
    EXPECT_EQ(handOff.beginPlacing(), nullptr);
    handOff.endPlacing();
}

TEST(FrameHandOff, TheShownBufferStaysUnchangedWhileLaterFramesArrive) {
    hv::FrameHandOff handOff(kFrameBytes);
    const auto first = filled(0x11);
    ASSERT_TRUE(handOff.offer(first.data(), kFrameBytes));
    const uint8_t* shown = handOff.beginPlacing();
    handOff.endPlacing();
    ASSERT_NE(shown, nullptr);

    // Enough frames to pass through every other buffer more than once.
    for (uint8_t value = 0x20; value < 0x28; ++value) {
        const auto frame = filled(value);
        ASSERT_TRUE(handOff.offer(frame.data(), kFrameBytes));
        EXPECT_TRUE(holds(shown, 0x11)) << "after frame " << int(value);
    }
    const uint8_t* next = handOff.beginPlacing();
    handOff.endPlacing();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, shown);
    EXPECT_TRUE(holds(next, 0x27));
}

TEST(FrameHandOff, ALongerFrameIsCutToTheFrameSize) {
    hv::FrameHandOff handOff(kFrameBytes);
    std::vector<uint8_t> frame = filled(0x5A, kFrameBytes * 3);
    ASSERT_TRUE(handOff.offer(frame.data(), static_cast<int>(frame.size())));
    const uint8_t* shown = handOff.beginPlacing();
    handOff.endPlacing();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(holds(shown, 0x5A));
    EXPECT_EQ(handOff.frameBytes(), kFrameBytes);
}

TEST(FrameHandOff, AShorterFrameReplacesOnlyItsOwnBytes) {
    hv::FrameHandOff handOff(kFrameBytes);
    const auto whole = filled(0xAA);
    const auto part = filled(0x55, 10);
    // The third offer writes the buffer the first one filled.
    ASSERT_TRUE(handOff.offer(whole.data(), kFrameBytes));
    ASSERT_TRUE(handOff.offer(whole.data(), kFrameBytes));
    ASSERT_TRUE(handOff.offer(part.data(), 10));
    const uint8_t* shown = handOff.beginPlacing();
    handOff.endPlacing();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(holds(shown, 0x55, 10));
    EXPECT_TRUE(holds(shown + 10, 0xAA, kFrameBytes - 10));
}

TEST(FrameHandOff, NoFrameOrANegativeLengthIsRefused) {
    hv::FrameHandOff handOff(kFrameBytes);
    const auto frame = filled(1);
    EXPECT_FALSE(handOff.offer(nullptr, kFrameBytes));
    EXPECT_FALSE(handOff.offer(frame.data(), -1));
    EXPECT_EQ(handOff.beginPlacing(), nullptr);
    handOff.endPlacing();
}

// A streaming thread offers numbered frames as fast as it can while the GUI thread places them
// and reads every byte of each: each frame shown must be one whole frame, newer than the last.
// Frames are cheap to make (one byte value each after the number) so that the streaming thread
// spends its time copying, when a torn frame could arise.
TEST(FrameHandOff, FramesShownWhileStreamingAreWholeAndInOrder) {
    constexpr int kBytes = 120000;
    constexpr uint32_t kFrames = 20000;
    hv::FrameHandOff handOff(kBytes);

    auto fill = [](uint32_t number) { return static_cast<uint8_t>(number * 131u + 7u); };
    std::atomic<bool> done{false};
    std::atomic<uint32_t> accepted{0};
    std::atomic<uint32_t> lastAccepted{0};
    std::thread streaming([&] {
        std::vector<uint8_t> frame(kBytes);
        for (uint32_t number = 1; number <= kFrames; ++number) {
            std::memset(frame.data(), fill(number), frame.size());
            std::memcpy(frame.data(), &number, sizeof number);
            if (handOff.offer(frame.data(), kBytes)) {
                ++accepted;
                lastAccepted = number;
            }
        }
        done = true;
    });

    // Like the display signal, an accepted frame sets the GUI thread going.
    uint32_t last = 0;
    int shownFrames = 0;
    int torn = 0;
    uint32_t seen = 0;
    bool finished = false;
    while (!finished) {
        finished = done.load();
        const uint32_t now = accepted.load();
        if (now == seen && !finished) {
            std::this_thread::yield();
            continue;
        }
        seen = now;
        const uint8_t* shown = handOff.beginPlacing();
        if (shown != nullptr) {
            uint32_t number = 0;
            std::memcpy(&number, shown, sizeof number);
            EXPECT_GT(number, last);
            last = number;
            torn += !holds(shown + sizeof number, fill(number), kBytes - sizeof number);
            ++shownFrames;
        }
        handOff.endPlacing();
    }
    streaming.join();

    EXPECT_EQ(torn, 0);
    EXPECT_GT(shownFrames, 1);
    // The placing that followed the end of the stream took the last frame accepted.
    EXPECT_EQ(last, lastAccepted.load());
    EXPECT_LE(static_cast<uint32_t>(shownFrames), accepted.load());
}

}  // namespace
