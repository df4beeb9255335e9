#include "kxLibusbHotplug.h"

#include <algorithm>
#include <cerrno>

#include "kxLibusbBackend.h"
#include "kxLibusbError.h"
#include "kxPlatformError.h"

namespace kx {

LibusbHotplug::LibusbHotplug(libusb_context* context, GuidReader guidsOf, PathCheck isKnown)
    : m_context(context), m_guidsOf(std::move(guidsOf)), m_isKnown(std::move(isKnown)) {}

LibusbHotplug::~LibusbHotplug() {
    setHandler(nullptr);
}

bool LibusbHotplug::setHandler(HotplugHandler handler) {
    std::lock_guard<std::mutex> setLock(m_setMutex);
    if (!handler) {
        if (m_registered) {
            libusb_hotplug_deregister_callback(m_context, m_callback);
            m_registered = false;
        }
        stopWorker();
        {
            std::lock_guard<std::mutex> lock(m_handlerMutex);
            m_handler = nullptr;
        }
        m_told.clear();
        return true;
    }
    if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) == 0) {
        setLastPlatformError(ENOTSUP);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_handlerMutex);
        m_handler = std::move(handler);
    }
    if (m_registered) {
        return true;
    }
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        m_accepting = true;
        m_stopping = false;
    }
    m_worker = std::thread(&LibusbHotplug::run, this);
    const int result = libusb_hotplug_register_callback(
        m_context,
        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                          LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        static_cast<libusb_hotplug_flag>(0), LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
        LIBUSB_HOTPLUG_MATCH_ANY, &LibusbHotplug::onEvent, this, &m_callback);
    if (result != LIBUSB_SUCCESS) {
        stopWorker();
        {
            std::lock_guard<std::mutex> lock(m_handlerMutex);
            m_handler = nullptr;
        }
        LibusbError::setLastError(result);
        return false;
    }
    m_registered = true;
    return true;
}

int LIBUSB_CALL LibusbHotplug::onEvent(libusb_context* /*context*/, libusb_device* device,
                                       libusb_hotplug_event event, void* self) {
    LibusbHotplug& hotplug = *static_cast<LibusbHotplug*>(self);
    Notice notice;
    notice.path = LibusbBackend::devicePath(device);
    if (notice.path.empty()) {
        return 0;  // a root hub
    }
    if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED) {
        notice.event = HotplugEvent::Arrived;
        notice.device = libusb_ref_device(device);
    } else {
        notice.event = HotplugEvent::Removed;
    }
    {
        std::lock_guard<std::mutex> lock(hotplug.m_queueMutex);
        if (hotplug.m_accepting) {
            hotplug.m_queue.push_back(notice);
            notice.device = nullptr;  // the queue holds the reference now
        }
    }
    hotplug.m_queueChanged.notify_all();
    if (notice.device != nullptr) {
        libusb_unref_device(notice.device);
    }
    return 0;  // stay registered
}

void LibusbHotplug::run() {
    std::unique_lock<std::mutex> lock(m_queueMutex);
    while (true) {
        m_queueChanged.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping) {
            return;
        }
        Notice notice = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        handle(notice);
        if (notice.device != nullptr) {
            libusb_unref_device(notice.device);
        }
        lock.lock();
    }
}

void LibusbHotplug::handle(Notice& notice) {
    if (notice.event == HotplugEvent::Arrived) {
        if (!arrivalGuids(notice).empty()) {
            m_told.insert(notice.path);
            tell(HotplugEvent::Arrived, notice.path);
        }
        return;
    }
    const bool told = m_told.erase(notice.path) > 0;
    if (told || m_isKnown(notice.path)) {
        tell(HotplugEvent::Removed, notice.path);
    }
}

std::vector<Guid> LibusbHotplug::arrivalGuids(const Notice& notice) {
    for (int attempt = 0; attempt < kArrivalAttempts; ++attempt) {
        if (attempt > 0) {
            // Give up early when the worker stops or the device has left again.
            std::unique_lock<std::mutex> lock(m_queueMutex);
            const bool giveUp = m_queueChanged.wait_for(lock, kArrivalRetryDelay, [&] {
                return m_stopping ||
                       std::any_of(m_queue.begin(), m_queue.end(), [&](const Notice& queued) {
                           return queued.event == HotplugEvent::Removed &&
                                  queued.path == notice.path;
                       });
            });
            if (giveUp) {
                return {};
            }
        }
        if (auto guids = m_guidsOf(notice.device)) {
            return std::move(*guids);
        }
    }
    return {};
}

void LibusbHotplug::tell(HotplugEvent event, const std::string& path) {
    std::lock_guard<std::mutex> lock(m_handlerMutex);
    if (m_handler) {
        m_handler(event, path);
    }
}

void LibusbHotplug::stopWorker() {
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        m_accepting = false;
        m_stopping = true;
    }
    m_queueChanged.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
    std::deque<Notice> dropped;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        dropped.swap(m_queue);
    }
    for (const Notice& notice : dropped) {
        if (notice.device != nullptr) {
            libusb_unref_device(notice.device);
        }
    }
}

}  // namespace kx
