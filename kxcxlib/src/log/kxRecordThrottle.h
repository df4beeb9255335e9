// Keeps a failure that repeats from flooding a log: the first record of a kind is written, later
// ones of the same kind at most once per interval, and each one written says how many of its
// kind were held back since the one before. A kind is whatever the caller names it by (a source
// position and an error, a log line's words). Thread-safe.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class RecordThrottle {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{1000};

    explicit RecordThrottle(std::chrono::milliseconds interval = kInterval,
                            std::function<Clock::time_point()> now = Clock::now);

    // Whether a record of the kind is written now: if so, how many of the kind were held back
    // since the last one written; nullopt when this one is held back (it is counted).
    std::optional<uint64_t> admit(const std::string& kind);
    // The kinds that have records held back since their last one written, with their counts,
    // in the kinds' order; the counts start again from 0.
    std::vector<std::pair<std::string, uint64_t>> takeHeld();
    // Forgets every kind: the next record of each is written.
    void clear();

private:
    struct Entry {
        Clock::time_point written;
        uint64_t held = 0;
    };

    const std::chrono::milliseconds m_interval;
    const std::function<Clock::time_point()> m_now;
    std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
};
