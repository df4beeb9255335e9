// The media time of a playback: it runs with a monotonic clock from the position it was set to,
// and holds still while paused. The player shows each picture when this clock reaches the
// picture's time, so a late picture makes the next ones come sooner instead of shifting them.
//
// Used on the GUI thread only.
#pragma once

#include <QElapsedTimer>

namespace hv {

class PlaybackClock {
public:
    // Runs on from positionMs.
    void start(int positionMs);
    // Holds the current position.
    void pause();
    // Runs on from the held position; nothing when running.
    void resume();
    // Moves to positionMs, running or held as before.
    void setPosition(int positionMs);

    int positionMs() const;
    bool isRunning() const { return m_running; }

private:
    QElapsedTimer m_elapsed;
    // The position when m_elapsed last started, or the held one.
    int m_baseMs = 0;
    bool m_running = false;
};

}  // namespace hv
