#include "StreamProducer.h"

namespace boardsim {

namespace {

// A stopped stream waiting for room on the pipe notices within this time.
constexpr std::chrono::milliseconds kRoomPoll{5};
// Longest sleep without a step, in case a wake-up is missed.
constexpr std::chrono::milliseconds kLongestSleep{100};

}  // namespace

StreamProducer::StreamProducer(std::mutex& mutex, DataPipe& pipe, Step step)
    : m_mutex(mutex), m_pipe(pipe), m_step(std::move(step)) {}

StreamProducer::~StreamProducer() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        stop();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void StreamProducer::start() {
    m_wanted = true;
    if (m_running) {
        wake();
        return;
    }
    // A thread that left its loop no longer needs the lock: joining it here is quick.
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_running = true;
    m_thread = std::thread(&StreamProducer::run, this);
}

void StreamProducer::stop() {
    m_wanted = false;
    m_wake.notify_all();
}

void StreamProducer::wake() {
    m_woken = true;
    m_wake.notify_all();
}

void StreamProducer::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_wanted) {
        m_woken = false;
        const Next next = m_step();
        if (!m_wanted) {
            break;
        }
        if (next.room > 0) {
            lock.unlock();
            m_pipe.waitForRoom(next.room, kRoomPoll);
            lock.lock();
            continue;
        }
        const TimePoint latest = std::chrono::steady_clock::now() + kLongestSleep;
        m_wake.wait_until(lock, std::min(next.at, latest), [this] { return !m_wanted || m_woken; });
    }
    m_running = false;
}

}  // namespace boardsim
