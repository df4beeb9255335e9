// The sysfs and /dev entries of an emulated USB bus, as umockdev records: the root hub of the
// bus and a device on one of its ports, with the attributes and udev properties libusb reads
// (bus and device numbers, speed, active configuration, the raw descriptors).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace usbmock {

class SysfsRecord {
public:
    SysfsRecord() = delete;

    // The root hub of a bus (device number 1).
    static std::string rootHub(int bus);
    // A high-speed device at a port of the root hub.
    static std::string device(int bus, int port, int devnum, std::span<const uint8_t> descriptors);

    // "/sys/devices/usb1/1-2"
    static std::string sysPath(int bus, int port);
    // "/sys/devices/usb1"
    static std::string rootHubSysPath(int bus);
    // "/dev/bus/usb/001/002"
    static std::string devNode(int bus, int devnum);
};

}  // namespace usbmock
