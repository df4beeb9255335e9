// The process's transport backend, chosen by KXCX_BACKEND ("libusb", the default, or "sim").
#pragma once

#include <memory>
#include <string>

#include "usb/kxUsbBackend.h"

namespace kx {

class UsbTransport {
public:
    // The backend of the process, made on first use.
    static UsbBackend& backend();

    // Makes the backend named by name (null or empty: the default). An unknown name gives null
    // and a one-line error text.
    static std::unique_ptr<UsbBackend> create(const char* name, std::string& error);

    // Replaces the backend of the process (tests and the command-line tool's simulator use).
    // Only while no device is open.
    static void replace(std::unique_ptr<UsbBackend> backend);
};

}  // namespace kx
