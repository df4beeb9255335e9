#include "log/kxPerfCounter.h"

#include <chrono>
#include <cstdio>

int64_t PerfCounter::counter() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

int64_t PerfCounter::frequency() {
    using Period = std::chrono::steady_clock::period;
    return Period::den / Period::num;
}

std::string PerfCounter::elapsedStamp(int64_t counter, int64_t frequency) {
    if (frequency <= 0) {
        frequency = 1;
    }
    const int64_t seconds = counter / frequency;
    const int64_t micros = (counter % frequency) * 1000000 / frequency;
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d:%02d:%02d.%03d,%03d",
                  static_cast<int>(seconds / 86400), static_cast<int>(seconds / 3600 % 24),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60),
                  static_cast<int>(micros / 1000), static_cast<int>(micros % 1000));
    return text;
}
