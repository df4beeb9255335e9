// The frames on their way from the recorder's caller to its encoding thread: a bounded queue
// that never makes the caller wait. A frame that finds it full is dropped and counted; the
// encoder falls behind only for a moment (it encodes far faster than frames arrive), so a full
// queue means the machine is overloaded, and the recording then repeats a frame rather than
// holding up the live picture.
#pragma once

#include <QImage>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace hv {

class RecordingQueue {
public:
    struct Entry {
        QImage frame;
        qint64 elapsedMs = 0;
    };

    // capacity: the frames that may wait, at least 1.
    explicit RecordingQueue(int capacity);

    // Caller's thread. Queues the frame (shared, not copied: the caller's own image detaches
    // when it is changed). False when it was not queued: the queue is full (the frame is counted
    // as dropped) or closed (not counted).
    bool push(const QImage& frame, qint64 elapsedMs);
    // Encoding thread. Waits for the oldest frame; none once the queue is closed and empty.
    std::optional<Entry> pop();
    // The recording ends at endMs: frames queued are still given out, later ones refused.
    void close(qint64 endMs);
    // Encoding thread, after a failure: frames queued are let go and later ones refused.
    void abandon();
    // The end given to close() (0 before).
    qint64 endMs() const;
    int dropped() const;

private:
    const std::size_t m_capacity;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Entry> m_entries;
    bool m_closed = false;
    qint64 m_endMs = 0;
    int m_dropped = 0;
};

}  // namespace hv
