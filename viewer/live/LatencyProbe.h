// Measures how long a frame takes from the frame callback to the end of the canvas's paint that
// shows it. Off unless HARNVIEW_LATENCY_LOG names a file; then every painted frame's latency is
// kept, and written to that file in microseconds, one per line, when the program ends.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace hv {

class LatencyProbe {
public:
    using Clock = std::chrono::steady_clock;

    // The probe of the program, or null when none was asked for.
    static LatencyProbe* active();

    explicit LatencyProbe(std::string file);
    ~LatencyProbe();
    LatencyProbe(const LatencyProbe&) = delete;
    LatencyProbe& operator=(const LatencyProbe&) = delete;

    // A frame handed over by the callback at offered has been painted now.
    void painted(Clock::time_point offered);
    const std::vector<long>& latencies() const { return m_microseconds; }

private:
    std::string m_file;
    std::vector<long> m_microseconds;
};

}  // namespace hv
