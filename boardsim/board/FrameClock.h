// The time a board's sensor follows: the steady clock, or a manual clock that stands still until
// it is advanced (tests use it to produce frames exactly when they want). Not locked: the board
// uses it under its lock.
#pragma once

#include <chrono>

namespace boardsim {

class FrameClock {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    TimePoint now() const { return m_manual ? m_manualNow : Clock::now(); }
    bool manual() const { return m_manual; }

    // From now on the time stays where it is until advanced. Calling it again changes nothing.
    void setManual();
    // Moves a manual clock forward (a negative or zero step and a steady clock: nothing).
    void advance(Clock::duration step);

private:
    bool m_manual = false;
    TimePoint m_manualNow{};
};

}  // namespace boardsim
