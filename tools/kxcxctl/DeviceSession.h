// The camera library loaded and one board opened for the length of a command.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include <kxCxApi.h>

class DeviceSession {
public:
    // Loads the library, finds the boards and opens `name` (the only board when empty). A
    // second-variant board sends `regFile` while it opens ("reg_init.txt" when empty). A
    // KXCX_SIM that is not understood stops it before the library loads.
    DeviceSession(const std::string& name, const std::string& regFile);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // The open handle, or null with error() saying why. When the system refused the board's
    // device node, error() ends with the library's sentence ("no permission on
    // /dev/bus/usb/BBB/DDD; see the README on udev rules", PermissionNotice) and the library is
    // unloaded already.
    CamContext* handle() const { return m_handle; }
    const std::string& error() const { return m_error; }
    const std::string& name() const { return m_name; }
    // Whether the board left the bus while it streamed: the library ends such a stream itself,
    // reports no callback any more and leaves ENODEV in the status word. Ask before stopping
    // the stream (a stop stores its own value in the status word).
    bool boardRemoved() const;

private:
    // Closes the handle and unloads the library, once.
    void unload();

    bool m_loaded = false;  // the library was asked to load
    CamContext* m_handle = nullptr;
    std::string m_name;
    std::string m_error;
};
