// Hot-plug notifications of a libusb context, turned into the backend's HotplugEvents.
//
// libusb calls its hot-plug callback while it handles events (on the backend's event thread);
// no synchronous I/O is allowed there, so the callback only notes the event and a worker thread
// of this class does the rest: for an arrival it reads the device's GUIDs (opening it, which may
// take a few descriptor requests) and tells Arrived when there is at least one; for a departure
// it tells Removed when the path was told Arrived before or the backend knows it (open, or found
// by enumeration). The handler is called on the worker thread, one event at a time, in the order
// libusb gave them. The worker runs only while a handler is installed.
#pragma once

#include <libusb.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "kxUsbBackend.h"

namespace kx {

class LibusbHotplug {
public:
    // The GUIDs of an arrived device; nullopt when it cannot be read yet (not opened: its
    // permissions may still be being set up), so it is asked again.
    using GuidReader = std::function<std::optional<std::vector<Guid>>(libusb_device*)>;
    // Whether a departed path, not told Arrived here, is one the receiver knows.
    using PathCheck = std::function<bool(const std::string&)>;

    // How often, and how far apart, an arrived device that cannot be read yet is tried.
    static constexpr int kArrivalAttempts = 5;
    static constexpr std::chrono::milliseconds kArrivalRetryDelay{200};

    // context's events must be handled (the backend's event thread) for notifications to come.
    LibusbHotplug(libusb_context* context, GuidReader guidsOf, PathCheck isKnown);
    // Removes the handler.
    ~LibusbHotplug();

    LibusbHotplug(const LibusbHotplug&) = delete;
    LibusbHotplug& operator=(const LibusbHotplug&) = delete;

    // Installs handler: the first one registers the libusb callback (arrival and departure of
    // any device) and starts the worker; a later one replaces it, after a call of the previous
    // one in progress has returned. False without libusb hot-plug support (ENOTSUP) or when
    // registering failed (the translated libusb error).
    // An empty handler deregisters, stops the worker (a handler call in progress and an arrival
    // being read are waited for; events not yet handled are dropped) and returns true.
    // Not from the handler itself. Calls are serialised by m_setMutex.
    bool setHandler(HotplugHandler handler);

private:
    struct Notice {
        HotplugEvent event = HotplugEvent::Arrived;
        std::string path;
        libusb_device* device = nullptr;  // arrivals: a reference held until handled
    };

    static int LIBUSB_CALL onEvent(libusb_context* context, libusb_device* device,
                                   libusb_hotplug_event event, void* self);
    void run();
    void handle(Notice& notice);
    // On the worker: the GUIDs of an arrived device, tried again while it cannot be read. Empty
    // when it never could or left meanwhile.
    std::vector<Guid> arrivalGuids(const Notice& notice);
    void stopWorker();
    void tell(HotplugEvent event, const std::string& path);

    libusb_context* const m_context;
    const GuidReader m_guidsOf;
    const PathCheck m_isKnown;

    std::mutex m_setMutex;  // serialises setHandler
    bool m_registered = false;
    libusb_hotplug_callback_handle m_callback = 0;

    std::mutex m_handlerMutex;  // held while the handler runs
    HotplugHandler m_handler;

    std::mutex m_queueMutex;
    std::condition_variable m_queueChanged;
    std::deque<Notice> m_queue;
    bool m_accepting = false;  // the libusb callback queues notices
    bool m_stopping = false;   // the worker ends
    std::thread m_worker;

    std::set<std::string> m_told;  // paths told Arrived and not Removed since; worker only
};

}  // namespace kx
