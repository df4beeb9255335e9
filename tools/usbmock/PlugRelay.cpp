#include "PlugRelay.h"

namespace usbmock {

PlugRelay::PlugRelay(Apply apply) : m_apply(std::move(apply)), m_thread(&PlugRelay::run, this) {}

PlugRelay::~PlugRelay() {
    close();
}

void PlugRelay::close() {
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) {
            return;
        }
        m_closed = true;
        m_stopping = true;
        m_changed.notify_all();
    }
    m_thread.join();
}

void PlugRelay::post(const std::string& boardPath, bool arrived) {
    std::lock_guard lock(m_mutex);
    if (m_closed) {
        return;
    }
    m_queue.emplace_back(boardPath, arrived);
    m_changed.notify_all();
}

void PlugRelay::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty()) {
            return;
        }
        const auto [path, arrived] = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        m_apply(path, arrived);
        lock.lock();
    }
}

}  // namespace usbmock
