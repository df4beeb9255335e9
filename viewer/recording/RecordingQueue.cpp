#include "RecordingQueue.h"

#include <algorithm>

namespace hv {

RecordingQueue::RecordingQueue(int capacity)
    : m_capacity(static_cast<std::size_t>(std::max(capacity, 1))) {}

bool RecordingQueue::push(const QImage& frame, qint64 elapsedMs) {
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (m_closed) {
            return false;
        }
        if (m_entries.size() >= m_capacity) {
            ++m_dropped;
            return false;
        }
        m_entries.push_back({frame, elapsedMs});
    }
    m_changed.notify_one();
    return true;
}

std::optional<RecordingQueue::Entry> RecordingQueue::pop() {
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return m_closed || !m_entries.empty(); });
    if (m_entries.empty()) {
        return std::nullopt;
    }
    Entry entry = std::move(m_entries.front());
    m_entries.pop_front();
    return entry;
}

void RecordingQueue::close(qint64 endMs) {
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_closed = true;
        m_endMs = endMs;
    }
    m_changed.notify_all();
}

void RecordingQueue::abandon() {
    std::deque<Entry> released;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_closed = true;
        released.swap(m_entries);
    }
    m_changed.notify_all();
}

qint64 RecordingQueue::endMs() const {
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_endMs;
}

int RecordingQueue::dropped() const {
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_dropped;
}

}  // namespace hv
