#include "usb/libusb/kxLibusbHotplug.h"

#include <algorithm>
#include <cerrno>

#include "usb/kxPlatformError.h"
#include "usb/libusb/kxLibusbBackend.h"
#include "usb/libusb/kxLibusbError.h"

namespace kx {

std::optional<std::string> HotplugBoards::arrived(const std::string& path,
                                                  std::optional<std::string> label) {
    // Whatever the backend knew at the path has left: this arrival decides its departure.
    m_arrivals.insert_or_assign(path, label);
    return label;
}

std::optional<std::string> HotplugBoards::departed(const std::string& path) {
    const auto arrival = m_arrivals.find(path);
    if (arrival == m_arrivals.end()) {
        return m_known(path);
    }
    std::optional<std::string> label = std::move(arrival->second);
    m_arrivals.erase(arrival);
    return label;
}

LibusbHotplug::LibusbHotplug(libusb_context* context, LabelReader read,
                             HotplugBoards::KnownLabel known)
    : m_context(context), m_read(std::move(read)), m_boards(std::move(known)) {}

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
        m_boards.clear();
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
    const std::optional<std::string> model =
        notice.event == HotplugEvent::Arrived ? m_boards.arrived(notice.path, arrivalModel(notice))
                                              : m_boards.departed(notice.path);
    if (model) {
        tell(notice.event, notice.path, *model);
    }
}

std::optional<std::string> LibusbHotplug::arrivalModel(const Notice& notice) {
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
                return std::nullopt;
            }
        }
        Arrival arrival = m_read(notice.device);
        if (arrival.read) {
            return std::move(arrival.model);
        }
    }
    return std::nullopt;
}

void LibusbHotplug::tell(HotplugEvent event, const std::string& path, const std::string& model) {
    std::lock_guard<std::mutex> lock(m_handlerMutex);
    if (m_handler) {
        m_handler(event, path, model);
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
