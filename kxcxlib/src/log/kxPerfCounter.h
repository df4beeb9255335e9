// The high-resolution counter behind the elapsed-time stamps of module records.
#pragma once

#include <cstdint>
#include <string>

class PerfCounter {
public:
    // Ticks since an arbitrary start, and ticks per second.
    static int64_t counter();
    static int64_t frequency();

    // "%02d-%02d:%02d:%02d.%03d,%03d": days, hours, minutes, seconds, milliseconds and the
    // remaining microseconds of counter / frequency.
    static std::string elapsedStamp(int64_t counter, int64_t frequency);
};
