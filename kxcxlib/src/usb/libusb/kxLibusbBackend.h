// The transport to real boards through libusb.
//
// The backend owns one libusb context, created by the constructor and ended by the destructor.
// When libusb cannot start (no USB file system, out of memory, ...) the backend still exists; it
// then sees no boards and sets the platform error of every caller to the reason libusb gave.
//
// A board is found by the device interface GUID in its Microsoft OS descriptors
// (kxMsOsDescriptors.h), or, for a board whose descriptors carry none, by its VID:PID in the
// device map (kxDeviceMap.h, read once by the constructor) together with the GUID of the model
// the map names (setModelGuids). Which model a device is, if any, is BoardMatcher's decision.
// Paths name the place a board is plugged in:
// "usb:<bus>-<port>.<port>..." ("usb:1-2.3" is port 3 of the hub on port 2 of bus 1), so a board
// keeps its path while it stays in its socket.
//
// Threads: one event thread (LibusbEventThread) completes the transfers of every opened device
// and receives libusb's hot-plug callbacks; it starts when the first device opens or hot-plug is
// enabled and ends in the destructor. A hot-plug worker (LibusbHotplug) runs while a hot-plug
// handler is installed. Devices must be destroyed before the backend.
//
// Locks, always taken in this order and never while calling a handler of the caller:
//   m_enumMutex   the enumeration snapshot and the descriptor readings;
//   BoardMatcher's own, for the model rows.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "usb/kxUsbBackend.h"
#include "usb/libusb/kxAccessNotice.h"
#include "usb/libusb/kxBoardMatcher.h"
#include "usb/libusb/kxLibusbHotplug.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_descriptor;

namespace kx {

class LibusbEventThread;

class LibusbBackend : public UsbBackend {
public:
    // How long one descriptor request may take before the device is given up on.
    static constexpr unsigned int kDescriptorTimeoutMs = 1000;

    // Starts libusb and reads the device map (its bad lines are reported on stderr). Does not
    // start a thread.
    LibusbBackend();
    // Removes the hot-plug handler, stops the event thread and ends libusb. No device of the
    // backend may be open any more.
    ~LibusbBackend() override;

    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;

    // Does not block; takes no lock.
    const char* name() const override { return "libusb"; }

    // Enumeration.
    //   Order: bus number, then port path (port numbers compared as numbers).
    //   Snapshot: memberIndex 0 lists the bus afresh; a later index of the same GUID answers from
    //     that list, so a discovery pass sees one consistent bus. A later index of another GUID
    //     lists the bus afresh too.
    //   Blocks: while listing, for each device not seen before at its place and address: opens it
    //     and reads its OS descriptors, up to kDescriptorTimeoutMs per request. What a device
    //     gave is kept until it leaves or re-enumerates, so each device is read once; a device
    //     that cannot be opened (no permission, gone) is skipped and tried again next time; one
    //     refused for lack of permission is told to the library's log (TransportNotice), once
    //     per device node until it opens ("no permission on /dev/bus/usb/001/004; see the README on
    //     udev rules", AccessNotice). A device the device map names is listed without being opened,
    //     readable or not, so the open tells why it fails.
    //     Hubs, and devices the map names with a known model GUID, are never opened. Answers
    //     from the snapshot do not block.
    //   Locks: m_enumMutex for the whole call, descriptor reads included (a hot-plug arrival
    //     being read holds it too); the matcher's briefly.
    //   Results:
    //     Found        the memberIndex-th matching device; path written.
    //     NoMoreItems  past the last matching device, or a negative index; also, with the
    //                  platform error set, when libusb did not start.
    //     Failed       the bus could not be listed (platform error set); the following index
    //                  then reads NoMoreItems.
    EnumResult interfacePath(const Guid& interfaceGuid, int memberIndex,
                             std::string& path) override;

    // Opens the board at path ("usb:<bus>-<ports>", as enumeration gives) and claims its
    // interface 0; a kernel driver bound to it is detached while the device is open (where
    // libusb can). Returns a LibusbDevice.
    //   Blocks: lists the bus and opens the device node; no request goes to the board.
    //   Locks: none; starts the event thread.
    //   Results: null with the platform error set: ENODEV when no device is at path (or it has
    //     no interface 0), EACCES without permission, EBUSY when another program claimed the
    //     interface, the reason libusb did not start, or another translated libusb error.
    std::unique_ptr<UsbDevice> open(const std::string& path) override;

    // Hot-plug (LibusbHotplug): Arrived for a board of a model given to setModelGuids (by a
    // device interface GUID of its descriptors or, through the device map, by its VID:PID), with
    // that model's label; nothing for any other device. Removed, with the label its arrival was
    // told with, for a path told Arrived before; for a path no arrival was seen at, when the last
    // enumeration found a board there, with its label then. The handler is called on the
    // hot-plug worker, which may call open or interfacePath but not setHotplugHandler.
    //   Blocks: replacing a handler waits for a call of the old one in progress; removing it
    //     also waits for an arrival being read (descriptor requests, kDescriptorTimeoutMs each).
    //   Locks: its own (LibusbHotplug); starts the event thread.
    //   Results: false without libusb hot-plug support (ENOTSUP), when libusb did not start, or
    //     when libusb refused the registration; an empty handler always gives true.
    bool setHotplugHandler(HotplugHandler handler) override;

    // The model rows (BoardMatcher::setModels): the device map's labels are looked up in them
    // (letter case does not matter) and hot-plug tells of their boards. Replaces what was set
    // before. The first call reports, on stderr, the map lines whose label is not among them.
    // Does not block.
    void setModelGuids(std::map<std::string, Guid> labelToGuid) override;

    // "usb:<bus>-<port>.<port>...": the path of the device at ports (from the root hub down).
    static std::string devicePath(uint8_t bus, std::span<const uint8_t> ports);
    // The path of a libusb device; empty for a root hub. Does not block.
    static std::string devicePath(libusb_device* device);

private:
    // A device as listed: where it sits, the GUIDs its descriptors gave and the model it is.
    struct Member {
        uint8_t bus = 0;
        std::vector<uint8_t> ports;
        std::string path;
        std::vector<Guid> guids;
        std::optional<std::string> model;
    };
    // What a device gave, with what tells it apart from a later device at the same place.
    struct Reading {
        uint8_t address = 0;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        uint16_t release = 0;
        std::vector<Guid> guids;
    };

    // Lists the bus into m_snapshot, reading devices not in m_readings. Returns a libusb code.
    int refreshSnapshot();
    // Under m_enumMutex: the GUIDs of a device that is not a hub. A device the map names with a
    // known model GUID is not opened; it exposes that GUID. Otherwise its descriptors' GUIDs:
    // from m_readings when the same device was read before, else read now. The reading is
    // stored in `into` by path. nullopt when the device could not be opened.
    std::optional<std::vector<Guid>> guidsLocked(libusb_device* device,
                                                 const libusb_device_descriptor& descriptor,
                                                 const std::string& path,
                                                 std::map<std::string, Reading>& into);
    // After a libusb_open of device: a refusal for lack of permission (LIBUSB_ERROR_ACCESS) is
    // told once per node (AccessNotice), a success lets a later refusal be told again.
    void noteOpen(libusb_device* device, int openResult);
    // For hot-plug, on its worker: which model an arrived device is (a hub is none); takes
    // m_enumMutex and blocks while the device is read.
    LibusbHotplug::Arrival readArrival(libusb_device* device);
    // For hot-plug: the model of the board the last enumeration found at path, if any.
    std::optional<std::string> enumeratedModel(const std::string& path);

    libusb_context* m_context = nullptr;
    int m_initError = 0;  // errno value when libusb did not start
    std::unique_ptr<LibusbEventThread> m_events;
    std::unique_ptr<LibusbHotplug> m_hotplug;

    std::mutex m_enumMutex;
    std::optional<Guid> m_snapshotGuid;         // the GUID whose index 0 made the snapshot
    std::vector<Member> m_snapshot;             // in enumeration order
    std::map<std::string, Reading> m_readings;  // by path

    BoardMatcher m_matcher;
    AccessNotice m_accessNotices;
};

}  // namespace kx
