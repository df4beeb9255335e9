#include "SysfsRecord.h"

#include <array>
#include <cstdio>

namespace usbmock {

namespace {

// The descriptors of a USB 2.0 root hub: device, then its configuration with the status
// endpoint.
constexpr std::array<uint8_t, 43> kRootHubDescriptors = {
    0x12, 0x01, 0x00, 0x02, 0x09, 0x00, 0x01, 0x40, 0x6b, 0x1d, 0x02, 0x00, 0x06, 0x05, 0x03,
    0x02, 0x01, 0x01, 0x09, 0x02, 0x19, 0x00, 0x01, 0x01, 0x00, 0xe0, 0x00, 0x09, 0x04, 0x00,
    0x00, 0x01, 0x09, 0x00, 0x00, 0x00, 0x07, 0x05, 0x81, 0x03, 0x04, 0x00, 0x0c};

std::string hex(std::span<const uint8_t> bytes) {
    std::string out;
    char two[3];
    for (const uint8_t byte : bytes) {
        std::snprintf(two, sizeof two, "%02x", byte);
        out += two;
    }
    return out;
}

std::string record(const std::string& sysPath, int bus, int devnum,
                   std::span<const uint8_t> descriptors) {
    const std::string node = SysfsRecord::devNode(bus, devnum);
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "E: BUSNUM=%03d\nE: DEVNUM=%03d\n", bus, devnum);
    return "P: " + sysPath.substr(4) + "\n" +  // without "/sys"
           "N: " + node.substr(5) + "\n" +     // without "/dev/"
           "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n" + numbers +
           "E: DEVNAME=" + node + "\n" + "A: busnum=" + std::to_string(bus) + "\\n\n" +
           "A: devnum=" + std::to_string(devnum) + "\\n\n" + "A: speed=480\\n\n" +
           "A: bConfigurationValue=1\\n\n" + "H: descriptors=" + hex(descriptors) + "\n";
}

}  // namespace

std::string SysfsRecord::rootHub(int bus) {
    return record(rootHubSysPath(bus), bus, 1, kRootHubDescriptors);
}

std::string SysfsRecord::device(int bus, int port, int devnum,
                                std::span<const uint8_t> descriptors) {
    return record(sysPath(bus, port), bus, devnum, descriptors);
}

std::string SysfsRecord::sysPath(int bus, int port) {
    return rootHubSysPath(bus) + "/" + std::to_string(bus) + "-" + std::to_string(port);
}

std::string SysfsRecord::rootHubSysPath(int bus) {
    return "/sys/devices/usb" + std::to_string(bus);
}

std::string SysfsRecord::devNode(int bus, int devnum) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bus, devnum);
    return node;
}

}  // namespace usbmock
