#include "usb/kxUsbTransport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>

#include "usb/kxPlatformError.h"
#include "usb/libusb/kxLibusbBackend.h"
#include "usb/sim/kxSimBackend.h"

namespace kx {

namespace {

// Answers every operation with "nothing here": the backend of a process whose KXCX_BACKEND names
// no backend. The error has been said once, when it was chosen.
class AbsentBackend : public UsbBackend {
public:
    const char* name() const override { return "none"; }
    EnumResult interfacePath(const Guid&, int, std::string&) override {
        return EnumResult::NoMoreItems;
    }
    std::unique_ptr<UsbDevice> open(const std::string&) override {
        setLastPlatformError(ENODEV);
        return nullptr;
    }
    bool setHotplugHandler(HotplugHandler) override { return false; }
    void setModelGuids(std::map<std::string, Guid>) override {}
};

std::mutex g_mutex;
std::unique_ptr<UsbBackend> g_backend;

}  // namespace

std::unique_ptr<UsbBackend> UsbTransport::create(const char* name, std::string& error) {
    if (name == nullptr || *name == '\0' || std::strcmp(name, "libusb") == 0) {
        return std::make_unique<LibusbBackend>();
    }
    if (std::strcmp(name, "sim") == 0) {
        return std::make_unique<SimBackend>();
    }
    error = std::string("KXCX_BACKEND: unknown backend '") + name + "' (use libusb or sim)";
    return nullptr;
}

UsbBackend& UsbTransport::backend() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_backend) {
        std::string error;
        g_backend = create(std::getenv("KXCX_BACKEND"), error);
        if (!g_backend) {
            std::cerr << error << std::endl;
            g_backend = std::make_unique<AbsentBackend>();
        }
    }
    return *g_backend;
}

void UsbTransport::replace(std::unique_ptr<UsbBackend> backend) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_backend = std::move(backend);
}

}  // namespace kx
