// The transport to real boards through libusb.
//
// The backend owns one libusb context, created by the constructor and ended by the destructor.
// When libusb cannot start (no USB file system, out of memory, ...) the backend still exists; it
// then sees no boards and sets the platform error of every caller to the reason libusb gave.
//
// A board is found by the device interface GUID in its Microsoft OS descriptors
// (kxMsOsDescriptors.h). Paths name the place a board is plugged in: "usb:<bus>-<port>.<port>..."
// ("usb:1-2.3" is port 3 of the hub on port 2 of bus 1), so a board keeps its path while it
// stays in its socket.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kxUsbBackend.h"

struct libusb_context;

namespace kx {

class LibusbBackend : public UsbBackend {
public:
    // How long one descriptor request may take before the device is given up on.
    static constexpr unsigned int kDescriptorTimeoutMs = 1000;

    LibusbBackend();
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
    //     that cannot be opened (no permission, gone) is skipped and tried again next time.
    //     Hubs are never opened. Answers from the snapshot do not block.
    //   Locks: m_enumMutex for the whole call, descriptor reads included.
    //   Results:
    //     Found        the memberIndex-th matching device; path written.
    //     NoMoreItems  past the last matching device, or a negative index; also, with the
    //                  platform error set, when libusb did not start.
    //     Failed       the bus could not be listed (platform error set); the following index
    //                  then reads NoMoreItems.
    EnumResult interfacePath(const Guid& interfaceGuid, int memberIndex,
                             std::string& path) override;

    // "usb:<bus>-<port>.<port>...": the path of the device at ports (from the root hub down).
    static std::string devicePath(uint8_t bus, std::span<const uint8_t> ports);

private:
    // A device as listed: where it sits and the GUIDs its descriptors gave.
    struct Member {
        uint8_t bus = 0;
        std::vector<uint8_t> ports;
        std::string path;
        std::vector<Guid> guids;
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

    libusb_context* m_context = nullptr;
    int m_initError = 0;  // errno value when libusb did not start

    std::mutex m_enumMutex;
    std::optional<Guid> m_snapshotGuid;         // the GUID whose index 0 made the snapshot
    std::vector<Member> m_snapshot;             // in enumeration order
    std::map<std::string, Reading> m_readings;  // by path
};

}  // namespace kx
