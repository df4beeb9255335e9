// The notice for a device node the process may not open (libusb's LIBUSB_ERROR_ACCESS: open()
// of the node failed with EACCES), in the words the README's troubleshooting names:
//   "no permission on /dev/bus/usb/001/004; see the README on udev rules"
// Discovery may list the bus often, so each node is told once (TransportNotice) until the node
// opens again: a node that becomes readable and is refused later is told anew, and a board that
// comes back has a new device number, so a new node.
//
// Thread-safe: the record of nodes told has a lock of its own, held while the notice is posted.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>

namespace kx {

class AccessNotice {
public:
    // "/dev/bus/usb/BBB/DDD": the usbdevfs node of the device at a bus and device address.
    static std::string nodePath(uint8_t bus, uint8_t address);
    // "no permission on <nodePath>; see the README on udev rules".
    static std::string text(uint8_t bus, uint8_t address);

    // Posts the text of the node unless it was told since the node last opened; true when
    // posted now. Does not block beyond the notice's sink.
    bool tell(uint8_t bus, uint8_t address);
    // The node opened: a later refusal of it is told again.
    void opened(uint8_t bus, uint8_t address);

private:
    std::mutex m_mutex;
    std::set<std::string> m_told;  // node paths
};

}  // namespace kx
