// When a board's sensor produces its frames, and which of the FPGA's four memory banks holds
// which: frame n (counted from power-on, from 0) is stored in bank n mod 4.
//
// Throttled (frames per second above 0): while the sensor runs, frame k of a running period is
// produced k / fps seconds after the period began (a period begins at power-on and whenever the
// sensor starts again). Unthrottled (0): a frame is produced whenever the board asks for one.
// A stopped sensor produces nothing. Not locked: the board uses it under its lock.
#pragma once

#include <array>
#include <cstdint>

#include "FrameClock.h"

namespace boardsim {

class FrameSchedule {
public:
    using TimePoint = FrameClock::TimePoint;
    static constexpr int kBanks = 4;

    struct Frame {
        uint64_t number = 0;   // from 0 at power-on
        double seconds = 0.0;  // when it was produced, since power-on
    };

    explicit FrameSchedule(int framesPerSecond);

    int framesPerSecond() const { return m_fps; }
    bool throttled() const { return m_fps > 0; }

    // No frame yet, the sensor running, a period beginning now.
    void powerOn(TimePoint now);
    // Throttled: the frames due by now are produced. Returns how many were new.
    uint64_t advance(TimePoint now);
    // Unthrottled: one frame now. False when throttled or the sensor is stopped.
    bool produce(TimePoint now);
    // Stops or starts the sensor at now (frames due before a stop are produced first).
    void setRunning(bool running, TimePoint now);
    bool running() const { return m_running; }

    uint64_t produced() const { return m_produced; }
    // The bank of the newest frame; 0 before the first.
    int newestBank() const;
    // The frame a bank holds; false when it holds none yet.
    bool bankFrame(int bank, Frame& frame) const;
    // When the next frame is due; TimePoint::max() when time alone brings none (unthrottled,
    // sensor stopped).
    TimePoint nextFrameAt() const;

private:
    // When frame k (from 1) of the running period is due.
    TimePoint dueTime(uint64_t k) const;
    void record(uint64_t number, TimePoint at);

    const int m_fps;
    TimePoint m_powerOn{};
    TimePoint m_periodStart{};
    uint64_t m_periodBase = 0;  // frames produced when the period began
    uint64_t m_produced = 0;
    bool m_running = true;
    std::array<Frame, kBanks> m_banks{};
    std::array<bool, kBanks> m_bankValid{};
};

}  // namespace boardsim
