// Delivers hot-plug events to a handler on a thread of its own, one at a time and in the order
// they were posted, so that whoever notices a board arrive or leave (a transfer that restarts the
// board, a control channel) never runs the receiver's code itself.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "usb/kxUsbBackend.h"

namespace kx {

class HotplugQueue {
public:
    HotplugQueue() = default;
    // Removes the handler (see setHandler).
    ~HotplugQueue();
    HotplugQueue(const HotplugQueue&) = delete;
    HotplugQueue& operator=(const HotplugQueue&) = delete;

    // Installs handler, starting the delivery thread; an empty handler stops it after a call in
    // progress has returned, dropping events not yet delivered. Not from the handler itself.
    void setHandler(HotplugHandler handler);
    // Queues an event of the board of a model at path; dropped when no handler is installed.
    void post(HotplugEvent event, const std::string& path, const std::string& model);
    // Waits until every event posted so far has been delivered (false on time-out).
    bool waitDelivered(std::chrono::milliseconds timeout);

private:
    struct Notice {
        HotplugEvent event;
        std::string path;
        std::string model;
    };

    void run();

    std::mutex m_setMutex;  // serialises setHandler
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Notice> m_queue;
    HotplugHandler m_handler;
    bool m_stop = false;
    bool m_delivering = false;
    std::thread m_thread;
};

}  // namespace kx
