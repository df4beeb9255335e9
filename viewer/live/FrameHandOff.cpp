#include "FrameHandOff.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace hv {

namespace {

constexpr int kBuffers = 3;

}  // namespace

FrameHandOff::FrameHandOff(int frameBytes)
    : m_frameBytes(std::max(frameBytes, 1)),
      m_storage(new uint8_t[static_cast<size_t>(m_frameBytes) * kBuffers]()) {
    m_write = m_storage.get();
    m_ready = m_write + m_frameBytes;
    m_shown = m_ready + m_frameBytes;
}

// \context Called from the camera library's streaming thread.
bool FrameHandOff::offer(const void* frame, int length) {
    if (frame == nullptr || length < 0) {
        return false;
    }
    if (m_placing.load(std::memory_order_acquire)) {
        return false;
    }
    std::lock_guard<std::mutex> offering(m_offerLock);
    // The write buffer is neither the ready one nor the one shown: the GUI thread never reads it.
    m_writeAt = std::chrono::steady_clock::now();
    std::memcpy(m_write, frame, static_cast<size_t>(std::min(length, m_frameBytes)));
    std::lock_guard<std::mutex> publishing(m_lock);
    std::swap(m_write, m_ready);
    std::swap(m_writeAt, m_readyAt);
    m_fresh = true;
    return true;
}

// \context Called from the GUI thread.
const uint8_t* FrameHandOff::beginPlacing() {
    m_placing.store(true, std::memory_order_release);
    std::lock_guard<std::mutex> taking(m_lock);
    if (!m_fresh) {
        return nullptr;
    }
    std::swap(m_ready, m_shown);
    std::swap(m_readyAt, m_shownAt);
    m_fresh = false;
    return m_shown;
}

// \context Called from the GUI thread.
void FrameHandOff::endPlacing() {
    m_placing.store(false, std::memory_order_release);
}

}  // namespace hv
