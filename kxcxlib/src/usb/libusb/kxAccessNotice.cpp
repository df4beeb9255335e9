#include "usb/libusb/kxAccessNotice.h"

#include <cstdio>

#include "usb/kxTransportNotice.h"

namespace kx {

std::string AccessNotice::nodePath(uint8_t bus, uint8_t address) {
    char path[32];
    std::snprintf(path, sizeof path, "/dev/bus/usb/%03u/%03u", static_cast<unsigned>(bus),
                  static_cast<unsigned>(address));
    return path;
}

std::string AccessNotice::text(uint8_t bus, uint8_t address) {
    return "no permission on " + nodePath(bus, address) + "; see the README on udev rules";
}

bool AccessNotice::tell(uint8_t bus, uint8_t address) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_told.insert(nodePath(bus, address)).second) {
        return false;
    }
    TransportNotice::post(text(bus, address));
    return true;
}

void AccessNotice::opened(uint8_t bus, uint8_t address) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_told.erase(nodePath(bus, address));
}

}  // namespace kx
