#include "board/FrameWorker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "support/BoardWire.h"

using boardsim::DataPipe;
using boardsim::FrameWorker;
using boardwire::waitFor;
using namespace std::chrono_literals;

namespace {

// A worker whose step counts its runs under the lock and answers what next() says.
class CountingWorker {
public:
    explicit CountingWorker(std::function<FrameWorker::Next(int)> next)
        : m_next(std::move(next)), m_worker(std::make_unique<FrameWorker>(m_mutex, m_pipe, [this] {
              ++m_steps;
              return m_next(m_steps);
          })) {}

    int steps() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_steps;
    }
    template <typename F>
    void locked(F f) {
        std::lock_guard<std::mutex> lock(m_mutex);
        f(*m_worker);
    }
    DataPipe& pipe() { return m_pipe; }
    // For the step, which runs under the lock already.
    FrameWorker& worker() { return *m_worker; }
    void destroy() { m_worker.reset(); }

private:
    std::mutex m_mutex;
    DataPipe m_pipe;
    int m_steps = 0;
    std::function<FrameWorker::Next(int)> m_next;
    std::unique_ptr<FrameWorker> m_worker;
};

// How many threads of this process carry the name.
int threadsNamed(const std::string& wanted) {
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        count += name == wanted ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(FrameWorker, RunsItsStepWhenStartedOrWokenAndNotAfterAStop) {
    CountingWorker counting([](int) { return FrameWorker::Next{}; });  // until woken
    counting.locked([](FrameWorker& worker) { EXPECT_FALSE(worker.active()); });
    counting.locked([](FrameWorker& worker) { worker.start(); });
    ASSERT_TRUE(waitFor([&] { return counting.steps() == 1; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(counting.steps(), 1);
    counting.locked([](FrameWorker& worker) {
        EXPECT_TRUE(worker.active());
        worker.start();  // already running: no extra step
    });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(counting.steps(), 1);
    counting.locked([](FrameWorker& worker) { worker.wake(); });
    ASSERT_TRUE(waitFor([&] { return counting.steps() == 2; }));
    counting.locked([](FrameWorker& worker) {
        worker.stop();
        EXPECT_FALSE(worker.active());
        worker.wake();
    });
    std::this_thread::sleep_for(150ms);  // longer than the longest sleep
    EXPECT_EQ(counting.steps(), 2);
    // A new start after the thread ended runs a new one.
    counting.locked([](FrameWorker& worker) { worker.start(); });
    ASSERT_TRUE(waitFor([&] { return counting.steps() == 3; }));
}

TEST(FrameWorker, TimedStepsThenAWaitForRoomOnThePipe) {
    CountingWorker* self = nullptr;
    CountingWorker counting([&self](int step) {
        FrameWorker::Next next;
        if (step < 4) {
            next.at = std::chrono::steady_clock::now() + 10ms;
        } else {
            if (step == 4) {
                self->pipe().push({1});
            }
            next.room = 1;  // the step itself filled the pipe
        }
        return next;
    });
    self = &counting;
    counting.locked([](FrameWorker& worker) { worker.start(); });
    ASSERT_TRUE(waitFor([&] { return counting.steps() == 4; }));
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(counting.steps(), 4);
    uint8_t byte = 0;
    EXPECT_EQ(counting.pipe().read(&byte, 1, 100ms), 1);
    EXPECT_TRUE(waitFor([&] { return counting.steps() >= 5; }));
}

TEST(FrameWorker, AStepMayEndItsWorkerAndDestructionJoinsASleepingOne) {
    CountingWorker* self = nullptr;
    CountingWorker counting([&self](int step) {
        FrameWorker::Next next;
        next.at = std::chrono::steady_clock::now() + 2ms;
        if (step == 3) {
            self->worker().stop();
        }
        return next;
    });
    self = &counting;
    counting.locked([](FrameWorker& worker) { worker.start(); });
    ASSERT_TRUE(waitFor([&] { return counting.steps() == 3; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(counting.steps(), 3);
    counting.locked([](FrameWorker& worker) { EXPECT_FALSE(worker.active()); });

    CountingWorker sleeper([](int) { return FrameWorker::Next{}; });
    sleeper.locked([](FrameWorker& worker) { worker.start(); });
    ASSERT_TRUE(waitFor([&] { return sleeper.steps() == 1; }));
    const auto start = std::chrono::steady_clock::now();
    sleeper.destroy();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST(FrameWorker, TheThreadHasItsOwnName) {
    // Started from a thread with another name, as from a host's thread.
    std::thread host([] {
        pthread_setname_np(pthread_self(), "kx-host");
        CountingWorker counting([](int) { return FrameWorker::Next{}; });
        counting.locked([](FrameWorker& worker) { worker.start(); });
        ASSERT_TRUE(waitFor([&] { return counting.steps() == 1; }));
        EXPECT_EQ(threadsNamed("boardsim-frames"), 1);
        EXPECT_EQ(threadsNamed("kx-host"), 1);
    });
    host.join();
    // A joined thread leaves /proc/self/task a moment after the join returns.
    EXPECT_TRUE(waitFor([] { return threadsNamed("boardsim-frames") == 0; }));
}
