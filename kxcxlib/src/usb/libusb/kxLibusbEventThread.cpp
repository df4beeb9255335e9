#include "usb/libusb/kxLibusbEventThread.h"

#include <libusb.h>

namespace kx {

namespace {

// How long the thread rests after libusb failed to wait for events, so a lasting failure does
// not spin.
constexpr std::chrono::milliseconds kRetryPause{10};

}  // namespace

LibusbEventThread::LibusbEventThread(libusb_context* context) : m_context(context) {}

LibusbEventThread::~LibusbEventThread() {
    stop();
}

void LibusbEventThread::start() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_thread.joinable()) {
        return;
    }
    m_stop = false;
    m_thread = std::thread(&LibusbEventThread::run, this);
}

void LibusbEventThread::stop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_thread.joinable()) {
        return;
    }
    m_stop = true;
    // The interruption stays pending until a handler sees it, so it also ends a wait that has
    // not started yet.
    libusb_interrupt_event_handler(m_context);
    m_thread.join();
}

bool LibusbEventThread::running() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_thread.joinable();
}

void LibusbEventThread::run() {
    constexpr auto kSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(kWaitInterval).count();
    constexpr auto kMicroseconds =
        std::chrono::duration_cast<std::chrono::microseconds>(kWaitInterval).count() % 1000000;
    while (!m_stop) {
        timeval wait{kSeconds, kMicroseconds};
        const int result = libusb_handle_events_timeout_completed(m_context, &wait, nullptr);
        if (result < 0 && result != LIBUSB_ERROR_INTERRUPTED && result != LIBUSB_ERROR_TIMEOUT) {
            std::this_thread::sleep_for(kRetryPause);
        }
    }
}

}  // namespace kx
