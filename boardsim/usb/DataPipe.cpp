#include "DataPipe.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace boardsim {

void DataPipe::push(std::vector<uint8_t> bytes) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_present) {
            return;
        }
        m_queue.push_back(std::move(bytes));
    }
    m_changed.notify_all();
}

int DataPipe::read(uint8_t* data, uint32_t length, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const uint64_t generation = m_cancelGeneration;
    const auto ready = [&] {
        return !m_present || m_halted || !m_queue.empty() || m_cancelGeneration != generation;
    };
    if (timeout.count() == 0) {
        m_changed.wait(lock, ready);
    } else if (!m_changed.wait_for(lock, timeout, ready)) {
        return -ETIMEDOUT;
    }
    if (!m_present) {
        return -ENODEV;
    }
    if (m_cancelGeneration != generation) {
        return -ECANCELED;
    }
    if (m_halted) {
        return -EPIPE;
    }
    std::vector<uint8_t>& front = m_queue.front();
    const std::size_t count = std::min<std::size_t>(length, front.size() - m_offset);
    if (count > 0) {
        std::memcpy(data, front.data() + m_offset, count);
    }
    m_offset += count;
    if (m_offset >= front.size()) {
        m_queue.pop_front();
        m_offset = 0;
    }
    return static_cast<int>(count);
}

void DataPipe::cancel() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_cancelGeneration;
    }
    m_changed.notify_all();
}

void DataPipe::setHalted(bool halted) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_halted = halted;
    }
    m_changed.notify_all();
}

bool DataPipe::halted() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_halted;
}

void DataPipe::setPresent(bool present) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_present = present;
        m_queue.clear();
        m_offset = 0;
        m_halted = false;
    }
    m_changed.notify_all();
}

void DataPipe::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.clear();
    m_offset = 0;
}

std::size_t DataPipe::queuedTransfers() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

}  // namespace boardsim
