// The thread of a board's frame source: it runs a step under the board's lock whenever the step
// asked to be called again (at a time, or when the bulk IN queue has room), as long as it is
// wanted. It carries the second variant's stream and renders frames ahead for a host that polls,
// and runs only while one of them is needed; it never outlives its owner, and joining it is
// bounded by one step.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>

#include "usb/DataPipe.h"

namespace boardsim {

class FrameWorker {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // What the step wants next: to run again at a time (TimePoint::max(): when woken), or when
    // fewer than room transfers wait on the pipe; or work to do without the lock first, after
    // which the step runs again at once.
    struct Next {
        TimePoint at = TimePoint::max();
        std::size_t room = 0;  // above 0: wait for room instead of a time
        std::function<void()> unlocked;
    };
    using Step = std::function<Next()>;

    // mutex: the board's lock, held while the step runs; pipe: the bulk IN pipe.
    FrameWorker(std::mutex& mutex, DataPipe& pipe, Step step);
    // Stops and joins the thread. Call without holding the lock.
    ~FrameWorker();
    // As the destructor; a later start runs a new thread.
    void finish();
    FrameWorker(const FrameWorker&) = delete;
    FrameWorker& operator=(const FrameWorker&) = delete;

    // With the lock held (the step may call them too): start the thread, or keep it running;
    // ask it to end (returns at once); run the step again now.
    void start();
    void stop();
    void wake();
    // The thread runs and is wanted.
    bool active() const { return m_running && m_wanted; }

private:
    void run();

    std::mutex& m_mutex;
    DataPipe& m_pipe;
    const Step m_step;
    std::condition_variable m_wake;
    bool m_wanted = false;   // under m_mutex
    bool m_running = false;  // under m_mutex: the thread is in its loop
    bool m_woken = false;    // under m_mutex
    // Started under the lock; a thread that left its loop is joined by the next start or by the
    // destructor.
    std::thread m_thread;
};

}  // namespace boardsim
