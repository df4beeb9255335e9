#include "NakWait.h"

#include <cerrno>

namespace boardsim {

int NakWait::wait(uint8_t endpoint, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const uint64_t cancels = m_cancels[endpoint];
    const auto ended = [&] { return !m_present || m_cancels[endpoint] != cancels; };
    if (timeout.count() == 0) {
        m_changed.wait(lock, ended);
    } else if (!m_changed.wait_for(lock, timeout, ended)) {
        return -ETIMEDOUT;
    }
    return m_present ? -ECANCELED : -ENODEV;
}

void NakWait::cancel(uint8_t endpoint) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_cancels[endpoint];
    }
    m_changed.notify_all();
}

void NakWait::setPresent(bool present) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_present = present;
    }
    m_changed.notify_all();
}

}  // namespace boardsim
