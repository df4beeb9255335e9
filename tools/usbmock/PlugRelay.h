// Carries the simulated host's arrivals and removals to the bridge on a thread of its own.
// The host tells its listeners on the thread that plugs, which for a RAM load's restart is an
// endpoint worker in the middle of a transfer: the relay only queues there, and the bridge
// changes the emulated bus (stopping that worker among others) on the relay's thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace usbmock {

class PlugRelay {
public:
    using Apply = std::function<void(const std::string& boardPath, bool arrived)>;

    explicit PlugRelay(Apply apply);
    // close()
    ~PlugRelay();
    PlugRelay(const PlugRelay&) = delete;
    PlugRelay& operator=(const PlugRelay&) = delete;

    // Any thread; does not block. Ignored once closed.
    void post(const std::string& boardPath, bool arrived);
    // Applies what is queued and ends the thread; apply is not called after this returns. A
    // listener the host is still calling may post later: it holds the relay, not its owner.
    void close();

private:
    Apply m_apply;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<std::string, bool>> m_queue;
    bool m_stopping = false;
    bool m_closed = false;
    std::thread m_thread;

    void run();
};

}  // namespace usbmock
