// The thread that handles a libusb context's events: it completes asynchronous transfers (the
// synchronous ones of LibusbDevice are asynchronous underneath), ends them on time-out, and
// delivers hot-plug notifications. One per backend; it holds no lock of the library while it
// waits, and runs only libusb's completion and hot-plug callbacks, which take short locks of
// their own.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

struct libusb_context;

namespace kx {

class LibusbEventThread {
public:
    // How long one wait for events lasts when nothing wakes it; stop() wakes it at once.
    static constexpr std::chrono::milliseconds kWaitInterval{2000};

    explicit LibusbEventThread(libusb_context* context);
    // Stops the thread.
    ~LibusbEventThread();

    LibusbEventThread(const LibusbEventThread&) = delete;
    LibusbEventThread& operator=(const LibusbEventThread&) = delete;

    // Starts the thread unless it runs. Does not block.
    void start();
    // Wakes the thread (libusb_interrupt_event_handler) and waits until it has ended. Not from
    // the thread itself.
    void stop();
    bool running() const;

private:
    void run();

    libusb_context* const m_context;
    mutable std::mutex m_mutex;  // guards m_thread
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

}  // namespace kx
