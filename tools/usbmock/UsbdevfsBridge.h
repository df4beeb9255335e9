// The simulated boards of a host behind emulated usbdevfs: the real libusb, and everything built
// on it, sees them as USB devices on bus 1 and talks to them through the kernel's usbdevfs
// protocol, which umockdev carries to this bridge.
//
// Each board sits at a port of its own (its place in the host's configuration, from 1), so its
// path is "usb:1-<port>" while it exists. It is on the bus while the host has it plugged in; an
// unplug, a plug and a controller restart reach libusb as udev "remove" and "add" events, and a
// board that comes back gets a new device number.
//
// One bridge per process at a time (umockdev's test bed is process-wide), made before anything
// starts libusb and destroyed after every libusb user has closed its devices and ended: an open
// file on an emulated node outliving the bridge makes its owner abort. The process must have
// umockdev's preload library loaded (linked with --no-as-needed, or LD_PRELOAD); programs it
// starts reach the bridge through LD_PRELOAD and the UMOCKDEV_DIR it sets.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "BoardDescriptors.h"
#include "BoardPort.h"
#include "IoctlDispatcher.h"
#include "PlugRelay.h"
#include "Testbed.h"
#include "host/SimHost.h"

namespace usbmock {

class UsbdevfsBridge {
public:
    static constexpr int kBus = 1;

    // The host's plugged boards are on the bus when this returns. Throws std::runtime_error
    // when umockdev cannot build the bed.
    explicit UsbdevfsBridge(boardsim::SimHost& host, OsDescriptors os = OsDescriptors::V1);
    ~UsbdevfsBridge();
    UsbdevfsBridge(const UsbdevfsBridge&) = delete;
    UsbdevfsBridge& operator=(const UsbdevfsBridge&) = delete;

    // "usb:1-<port>" of a board path ("sim:RT4207-x6B6B:0"); empty for a board the host lacks.
    std::string devicePath(const std::string& boardPath) const;
    // The folder standing in for / (UMOCKDEV_DIR).
    std::string rootDir() const { return m_testbed.rootDir(); }

private:
    boardsim::SimHost& m_host;
    const OsDescriptors m_os;

    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<BoardPort>> m_byNode;  // every attachment ever
    std::map<std::string, std::shared_ptr<BoardPort>> m_live;    // by board path
    int m_nextDevnum = 2;                                        // 1 is the root hub

    IoctlDispatcher m_dispatcher;
    Testbed m_testbed;
    // Shared with the host's listener, which may still be running when the bridge ends.
    std::shared_ptr<PlugRelay> m_relay;
    int m_listener = 0;

    int portOf(const std::string& boardPath) const;
    // On the relay's thread (and in the constructor).
    void arrive(const std::string& boardPath);
    void leave(const std::string& boardPath);
};

}  // namespace usbmock
