#include "GuestLog.h"

#include <iostream>

namespace boardsim {

GuestLog::GuestLog(std::string part) : m_part(std::move(part)) {}

void GuestLog::error(std::string_view message) const {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_count;
    }
    // One write per line, so lines of parts on different threads do not mix.
    std::string line = "boardsim: " + m_part + ": ";
    line.append(message);
    line.push_back('\n');
    std::cerr << line << std::flush;
}

void GuestLog::errorOnce(uint32_t key, std::string_view message) {
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        first = m_reported.insert(key).second;
        if (!first) {
            ++m_count;
        }
    }
    if (first) {
        error(message);
    }
}

std::string GuestLog::hex(uint32_t value, int digits) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0 || static_cast<int>(text.size()) < digits);
    return "0x" + text;
}

int GuestLog::count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

}  // namespace boardsim
