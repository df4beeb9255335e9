#include "log/kxRecordThrottle.h"

RecordThrottle::RecordThrottle(std::chrono::milliseconds interval,
                               std::function<Clock::time_point()> now)
    : m_interval(interval), m_now(std::move(now)) {}

std::optional<uint64_t> RecordThrottle::admit(const std::string& kind) {
    const Clock::time_point now = m_now();
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto [at, first] = m_entries.try_emplace(kind);
    Entry& entry = at->second;
    if (!first && now - entry.written < m_interval) {
        ++entry.held;
        return std::nullopt;
    }
    entry.written = now;
    return std::exchange(entry.held, 0);
}

std::vector<std::pair<std::string, uint64_t>> RecordThrottle::takeHeld() {
    std::vector<std::pair<std::string, uint64_t>> held;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& [kind, entry] : m_entries) {
        if (entry.held > 0) {
            held.emplace_back(kind, std::exchange(entry.held, 0));
        }
    }
    return held;
}

void RecordThrottle::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}
