#include "sync/kxEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using kx::Event;
using namespace std::chrono_literals;

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(Event::Reset::Manual);
    EXPECT_FALSE(event.wait(1ms));
    event.set();
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_TRUE(event.wait(0ms));
    event.reset();
    EXPECT_FALSE(event.isSet());
}

TEST(Event, AutoResetReleasesOneWaiterAndClears) {
    Event event(Event::Reset::Auto, true);
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_FALSE(event.wait(0ms));
}

TEST(Event, WaitAnyReturnsTheLowestSignalledAndConsumesOnlyIt) {
    Event first(Event::Reset::Auto);
    Event second(Event::Reset::Auto, true);
    Event third(Event::Reset::Auto, true);
    EXPECT_EQ(Event::waitAny({&first, &second, &third}, 0ms), 1);
    EXPECT_FALSE(second.isSet());
    EXPECT_TRUE(third.isSet());
    EXPECT_EQ(Event::waitAny({&first, &second}, 5ms), Event::kTimeout);
}

TEST(Event, WaiterWakesWhenAnotherThreadSets) {
    Event stop(Event::Reset::Manual);
    Event data(Event::Reset::Auto);
    std::atomic<int> woke{-2};
    std::thread waiter([&] { woke = Event::waitAny({&stop, &data}, Event::kInfinite); });
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(woke, -2);
    data.set();
    waiter.join();
    EXPECT_EQ(woke, 1);
}

TEST(Event, ManySettersAndWaitersLoseNoSignal) {
    Event event(Event::Reset::Auto);
    constexpr int kRounds = 2000;
    std::atomic<int> taken{0};
    std::thread consumer([&] {
        while (taken < kRounds) {
            if (event.wait(1000ms)) {
                ++taken;
            }
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        while (event.isSet()) {
            std::this_thread::yield();
        }
        event.set();
    }
    consumer.join();
    EXPECT_EQ(taken, kRounds);
}
