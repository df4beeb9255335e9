#include "StreamPause.h"

#include <thread>

namespace hv {

StreamPause::StreamPause(CamContext* handle, std::chrono::milliseconds settle) : m_handle(handle) {
    m_callback = getAcqCallbackProc(handle, &m_value);
    // Stopping keeps the status word as it was.
    acquireImageStream(handle, nullptr, m_value);
    std::this_thread::sleep_for(settle);
    stopDvpClock(handle);
    std::this_thread::sleep_for(settle);
}

void StreamPause::restartStream() {
    if (m_callback != nullptr) {
        acquireImageStream(m_handle, m_callback, m_value);
    }
}

}  // namespace hv
