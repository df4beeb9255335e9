#include "sync/kxEvent.h"

#include <algorithm>

namespace kx {

// One thread waiting on one or more events: an event that becomes signalled wakes it.
struct Event::Waiter {
    std::mutex mutex;
    std::condition_variable wake;
    bool woken = false;

    void notify() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            woken = true;
        }
        wake.notify_all();
    }
};

Event::Event(Reset reset, bool signalled) : m_reset(reset), m_signalled(signalled) {}

Event::~Event() = default;

void Event::set() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signalled = true;
    // Waiters unregister under m_mutex before they go away, and notify takes only the waiter's
    // own lock, so the list stays valid while we notify under m_mutex.
    for (Waiter* waiter : m_waiters) {
        waiter->notify();
    }
}

void Event::reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signalled = false;
}

bool Event::isSet() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_signalled;
}

bool Event::consumeLocked() {
    if (!m_signalled) {
        return false;
    }
    if (m_reset == Reset::Auto) {
        m_signalled = false;
    }
    return true;
}

bool Event::wait(std::chrono::milliseconds timeout) {
    return waitAny({this}, timeout) == 0;
}

void Event::wait() {
    waitAny({this}, kInfinite);
}

int Event::waitAny(const std::vector<Event*>& events, std::chrono::milliseconds timeout) {
    const bool infinite = timeout == kInfinite;
    const auto deadline = infinite ? std::chrono::steady_clock::time_point::max()
                                   : std::chrono::steady_clock::now() + timeout;
    Waiter waiter;
    for (Event* event : events) {
        std::lock_guard<std::mutex> lock(event->m_mutex);
        event->m_waiters.push_back(&waiter);
    }
    int result = kTimeout;
    while (true) {
        {
            std::lock_guard<std::mutex> lock(waiter.mutex);
            waiter.woken = false;
        }
        for (std::size_t i = 0; i < events.size() && result == kTimeout; ++i) {
            std::lock_guard<std::mutex> lock(events[i]->m_mutex);
            if (events[i]->consumeLocked()) {
                result = static_cast<int>(i);
            }
        }
        if (result != kTimeout) {
            break;
        }
        std::unique_lock<std::mutex> lock(waiter.mutex);
        if (infinite) {
            waiter.wake.wait(lock, [&] { return waiter.woken; });
        } else if (!waiter.wake.wait_until(lock, deadline, [&] { return waiter.woken; })) {
            break;
        }
    }
    for (Event* event : events) {
        std::lock_guard<std::mutex> lock(event->m_mutex);
        auto& list = event->m_waiters;
        list.erase(std::remove(list.begin(), list.end(), &waiter), list.end());
    }
    return result;
}

}  // namespace kx
