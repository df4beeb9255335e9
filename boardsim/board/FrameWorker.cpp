#include "FrameWorker.h"

#include <pthread.h>

namespace boardsim {

namespace {

// A worker waiting for room on the pipe notices a stop or a wake-up within this time.
constexpr std::chrono::milliseconds kRoomPoll{5};
// Longest sleep without a step, in case a wake-up is missed.
constexpr std::chrono::milliseconds kLongestSleep{100};

}  // namespace

FrameWorker::FrameWorker(std::mutex& mutex, DataPipe& pipe, Step step)
    : m_mutex(mutex), m_pipe(pipe), m_step(std::move(step)) {}

FrameWorker::~FrameWorker() {
    finish();
}

void FrameWorker::finish() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        stop();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void FrameWorker::start() {
    if (m_running) {
        if (!m_wanted) {
            m_wanted = true;
            wake();
        }
        return;
    }
    m_wanted = true;
    // A thread that left its loop no longer needs the lock: joining it here is quick.
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_running = true;
    m_thread = std::thread(&FrameWorker::run, this);
}

void FrameWorker::stop() {
    m_wanted = false;
    m_wake.notify_all();
}

void FrameWorker::wake() {
    m_woken = true;
    m_wake.notify_all();
}

void FrameWorker::run() {
    // Its own name: a new thread would carry the name of the host's thread that started it.
    pthread_setname_np(pthread_self(), "boardsim-frames");
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_wanted) {
        m_woken = false;
        const Next next = m_step();
        if (!m_wanted) {
            break;
        }
        if (next.unlocked) {
            lock.unlock();
            next.unlocked();
            lock.lock();
            continue;
        }
        if (next.room > 0) {
            bool room = false;
            while (!room && m_wanted && !m_woken) {
                lock.unlock();
                room = m_pipe.waitForRoom(next.room, kRoomPoll);
                lock.lock();
            }
            continue;
        }
        const TimePoint latest = std::chrono::steady_clock::now() + kLongestSleep;
        m_wake.wait_until(lock, std::min(next.at, latest), [this] { return !m_wanted || m_woken; });
    }
    m_running = false;
}

}  // namespace boardsim
