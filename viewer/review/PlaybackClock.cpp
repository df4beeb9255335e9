#include "PlaybackClock.h"

#include <climits>

namespace hv {

void PlaybackClock::start(int positionMs) {
    m_baseMs = positionMs;
    m_elapsed.start();
    m_running = true;
}

void PlaybackClock::pause() {
    m_baseMs = positionMs();
    m_running = false;
}

void PlaybackClock::resume() {
    if (!m_running) {
        start(m_baseMs);
    }
}

void PlaybackClock::setPosition(int positionMs) {
    if (m_running) {
        start(positionMs);
    } else {
        m_baseMs = positionMs;
    }
}

int PlaybackClock::positionMs() const {
    if (!m_running) {
        return m_baseMs;
    }
    const qint64 position = m_baseMs + m_elapsed.elapsed();
    return position > INT_MAX ? INT_MAX : static_cast<int>(position);
}

}  // namespace hv
