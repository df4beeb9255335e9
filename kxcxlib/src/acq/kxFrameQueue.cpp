#include "acq/kxFrameQueue.h"

bool FrameQueue::push(uint8_t* slot) {
    const uint64_t written = m_written.load(std::memory_order_relaxed);
    if (written - m_read.load(std::memory_order_acquire) >= kCapacity) {
        return false;
    }
    m_slots[written % kCapacity] = slot;
    m_written.store(written + 1, std::memory_order_release);
    return true;
}

uint8_t* FrameQueue::pop() {
    const uint64_t read = m_read.load(std::memory_order_relaxed);
    if (read == m_written.load(std::memory_order_acquire)) {
        return nullptr;
    }
    uint8_t* slot = m_slots[read % kCapacity];
    m_read.store(read + 1, std::memory_order_release);
    return slot;
}

void FrameQueue::clear() {
    m_read.store(m_written.load());
}

std::size_t FrameQueue::size() const {
    return static_cast<std::size_t>(m_written.load() - m_read.load());
}
