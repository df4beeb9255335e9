#include "thread/kxDeviceThreadBase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

class GatedThread : public SD::DeviceThreadBase {
public:
    explicit GatedThread(std::size_t stack = 0) { setStackSize(stack); }
    ~GatedThread() override {
        open = true;
        join();
    }

    std::atomic<bool> open{false};
    std::atomic<int> runs{0};
    std::size_t seenStack = 0;

protected:
    void svcThread() override {
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            pthread_attr_getstacksize(&attr, &seenStack);
            pthread_attr_destroy(&attr);
        }
        ++runs;
        while (!open) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

}  // namespace

TEST(DeviceThreadBase, RunsTheBodyOnceAndRefusesASecondStartWhileRunning) {
    GatedThread thread;
    EXPECT_TRUE(thread.join(std::chrono::milliseconds(1)));  // never started
    ASSERT_TRUE(thread.start());
    EXPECT_FALSE(thread.start());
    EXPECT_FALSE(thread.join(std::chrono::milliseconds(20)));
    EXPECT_TRUE(thread.started());
    thread.open = true;
    EXPECT_TRUE(thread.join(std::chrono::milliseconds(2000)));
    EXPECT_EQ(thread.runs, 1);
    // A finished thread can be started again.
    ASSERT_TRUE(thread.start());
    thread.join();
    EXPECT_EQ(thread.runs, 2);
}

TEST(DeviceThreadBase, StackSizeIsHonoured) {
    GatedThread thread(4 * 1024 * 1024);
    thread.open = true;
    ASSERT_TRUE(thread.start());
    thread.join();
    EXPECT_GE(thread.seenStack, 4u * 1024 * 1024);
}
