#include "usb/kxHotplugQueue.h"

#include <pthread.h>

namespace kx {

HotplugQueue::~HotplugQueue() {
    setHandler(nullptr);
}

void HotplugQueue::setHandler(HotplugHandler handler) {
    std::lock_guard<std::mutex> serial(m_setMutex);
    if (!handler) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            m_queue.clear();
        }
        m_changed.notify_all();
        if (m_thread.joinable()) {
            m_thread.join();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_handler = nullptr;
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    // A handler call in progress finishes with the handler it started with.
    m_handler = std::move(handler);
    if (!m_thread.joinable()) {
        m_stop = false;
        m_thread = std::thread(&HotplugQueue::run, this);
    }
}

void HotplugQueue::post(HotplugEvent event, const std::string& path, const std::string& model) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_handler || m_stop) {
            return;
        }
        m_queue.push_back(Notice{event, path, model});
    }
    m_changed.notify_all();
}

bool HotplugQueue::waitDelivered(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_queue.empty() && !m_delivering; });
}

void HotplugQueue::run() {
    pthread_setname_np(pthread_self(), "kx-hotplug");
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop) {
            break;
        }
        Notice notice = std::move(m_queue.front());
        m_queue.pop_front();
        HotplugHandler handler = m_handler;
        m_delivering = true;
        lock.unlock();
        handler(notice.event, notice.path, notice.model);
        lock.lock();
        m_delivering = false;
        m_changed.notify_all();
    }
}

}  // namespace kx
