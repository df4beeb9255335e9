// Hot-plug notifications of a libusb context, turned into the backend's HotplugEvents.
//
// libusb calls its hot-plug callback while it handles events (on the backend's event thread);
// no synchronous I/O is allowed there, so the callback only notes the event and a worker thread
// of this class does the rest: for an arrival it reads which model the device is (opening it,
// which may take a few descriptor requests) and tells Arrived for a board of a known model; for a
// departure it tells Removed as HotplugBoards decides, with the label the board had. The handler
// is called on the worker thread, one event at a time, in the order libusb gave them. The worker
// runs only while a handler is installed.
#pragma once

#include <libusb.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "usb/kxUsbBackend.h"

namespace kx {

// What hot-plug tells of the devices at each path. An arrival is told only for a board of a known
// model. A departure is told with the label the latest arrival at its path was told with, and not
// at all when that arrival was no board. A departure from a path where no arrival was seen is told
// when the backend knew a board there (found by enumeration), with that board's label. Not
// thread-safe: the hot-plug worker alone uses it.
class HotplugBoards {
public:
    // The model label of the board the backend knows at path; nullopt when it knows none there.
    using KnownLabel = std::function<std::optional<std::string>(const std::string& path)>;

    explicit HotplugBoards(KnownLabel known) : m_known(std::move(known)) {}

    // A device arrived at path; label is its model, nullopt when it is no board of a known model
    // (or could not be read). Returns the label to tell Arrived with, or nullopt: tell nothing.
    std::optional<std::string> arrived(const std::string& path, std::optional<std::string> label);
    // The device at path left. Returns the label to tell Removed with, or nullopt.
    std::optional<std::string> departed(const std::string& path);
    // Forgets every arrival seen (no departure will be seen until the next handler).
    void clear() { m_arrivals.clear(); }

private:
    const KnownLabel m_known;
    // The latest arrival at each path that has not left since, with its model (nullopt: none).
    std::map<std::string, std::optional<std::string>> m_arrivals;
};

class LibusbHotplug {
public:
    // What reading an arrived device gave.
    struct Arrival {
        bool read = false;                 // false: it could not be opened yet (see LabelReader)
        std::optional<std::string> model;  // its model label, when it is a board of a known one
    };
    // Reads an arrived device. One that cannot be opened yet (its permissions may still be being
    // set up) is asked again.
    using LabelReader = std::function<Arrival(libusb_device*)>;

    // How often, and how far apart, an arrived device that cannot be read yet is tried.
    static constexpr int kArrivalAttempts = 5;
    static constexpr std::chrono::milliseconds kArrivalRetryDelay{200};

    // context's events must be handled (the backend's event thread) for notifications to come.
    // known tells what the backend knows of a path no arrival was seen at (HotplugBoards).
    LibusbHotplug(libusb_context* context, LabelReader read, HotplugBoards::KnownLabel known);
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
    // On the worker: the model of an arrived device, read again while it cannot be read yet.
    // nullopt when it is no board, never could be read, or left meanwhile.
    std::optional<std::string> arrivalModel(const Notice& notice);
    void stopWorker();
    void tell(HotplugEvent event, const std::string& path, const std::string& model);

    libusb_context* const m_context;
    const LabelReader m_read;

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

    HotplugBoards m_boards;  // the worker's, and setHandler's once the worker stopped
};

}  // namespace kx
