#include "FrameSchedule.h"

#include <algorithm>

namespace boardsim {

namespace {

constexpr int64_t kNanosPerSecond = 1'000'000'000;

}  // namespace

FrameSchedule::FrameSchedule(int framesPerSecond) : m_fps(std::max(framesPerSecond, 0)) {}

void FrameSchedule::powerOn(TimePoint now) {
    m_powerOn = now;
    m_periodStart = now;
    m_periodBase = 0;
    m_produced = 0;
    m_running = true;
    m_bankValid.fill(false);
}

FrameSchedule::TimePoint FrameSchedule::dueTime(uint64_t k) const {
    // ceil(k / fps) seconds, in nanoseconds.
    const uint64_t fps = static_cast<uint64_t>(m_fps);
    const uint64_t seconds = k / fps;
    const uint64_t rest = k % fps;
    const uint64_t nanos = seconds * kNanosPerSecond + (rest * kNanosPerSecond + fps - 1) / fps;
    return m_periodStart + std::chrono::nanoseconds(static_cast<int64_t>(nanos));
}

void FrameSchedule::record(uint64_t number, TimePoint at) {
    const int bank = static_cast<int>(number % kBanks);
    m_banks[bank] = Frame{number, std::chrono::duration<double>(at - m_powerOn).count()};
    m_bankValid[bank] = true;
}

uint64_t FrameSchedule::advance(TimePoint now) {
    if (!throttled() || !m_running || now <= m_periodStart) {
        return 0;
    }
    const int64_t elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(now - m_periodStart).count();
    const uint64_t fps = static_cast<uint64_t>(m_fps);
    const uint64_t due = static_cast<uint64_t>(elapsed / kNanosPerSecond) * fps +
                         static_cast<uint64_t>(elapsed % kNanosPerSecond) * fps / kNanosPerSecond;
    const uint64_t total = m_periodBase + due;
    if (total <= m_produced) {
        return 0;
    }
    // Only the last four can still be in a bank.
    const uint64_t first = std::max(m_produced, total >= kBanks ? total - kBanks : 0);
    for (uint64_t number = first; number < total; ++number) {
        record(number, dueTime(number - m_periodBase + 1));
    }
    const uint64_t added = total - m_produced;
    m_produced = total;
    return added;
}

bool FrameSchedule::produce(TimePoint now) {
    if (throttled() || !m_running) {
        return false;
    }
    record(m_produced, now);
    ++m_produced;
    return true;
}

void FrameSchedule::setRunning(bool running, TimePoint now) {
    if (running == m_running) {
        return;
    }
    if (!running) {
        advance(now);
    } else {
        m_periodStart = now;
        m_periodBase = m_produced;
    }
    m_running = running;
}

int FrameSchedule::newestBank() const {
    return m_produced == 0 ? 0 : static_cast<int>((m_produced - 1) % kBanks);
}

bool FrameSchedule::bankFrame(int bank, Frame& frame) const {
    if (bank < 0 || bank >= kBanks || !m_bankValid[bank]) {
        return false;
    }
    frame = m_banks[bank];
    return true;
}

FrameSchedule::TimePoint FrameSchedule::nextFrameAt() const {
    if (!throttled() || !m_running) {
        return TimePoint::max();
    }
    return dueTime(m_produced - m_periodBase + 1);
}

}  // namespace boardsim
