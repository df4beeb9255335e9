// A waitable event in the manner of the board's original platform: manual-reset events stay
// signalled until reset, auto-reset events release one waiter and clear themselves. A thread may
// wait for any of several events with a time-out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace kx {

class Event {
public:
    enum class Reset { Manual, Auto };
    // waitAny's answer when the time-out passed first.
    static constexpr int kTimeout = -1;

    explicit Event(Reset reset = Reset::Manual, bool signalled = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    bool isSet() const;

    // Waits until the event is signalled (an auto-reset event is then cleared). False on time-out.
    bool wait(std::chrono::milliseconds timeout);
    void wait();

    // Waits until one of events is signalled; returns its index (the lowest when several are),
    // or kTimeout. The auto-reset event that ends the wait is cleared.
    static int waitAny(const std::vector<Event*>& events, std::chrono::milliseconds timeout);
    static constexpr std::chrono::milliseconds kInfinite = std::chrono::milliseconds::max();

private:
    struct Waiter;

    // Under m_mutex: takes the signal if set (clearing an auto-reset event).
    bool consumeLocked();

    const Reset m_reset;
    mutable std::mutex m_mutex;
    bool m_signalled;
    std::vector<Waiter*> m_waiters;
};

}  // namespace kx
