#include "SimLibrary.h"

#include <unistd.h>

#include <memory>
#include <string>

#include "usb/kxUsbTransport.h"
#include "usb/sim/kxSimBackend.h"

SimLibrary::SimLibrary(const char* board) {
    char pattern[] = "/tmp/kxcx-bench-XXXXXX";
    m_dir = mkdtemp(pattern);
    m_previous = std::filesystem::current_path();
    std::filesystem::current_path(m_dir);
    std::string error;
    m_host.configure(board, error);
    auto sim = std::make_unique<kx::SimBackend>(&m_host);
    backend = sim.get();
    kx::UsbTransport::replace(std::move(sim));
    loadCxLib();
    findCxDevices();
    handle = openCxDevice("RT4207-x6B6B_00", 400, 400, 480000, nullptr, nullptr);
}

SimLibrary::~SimLibrary() {
    if (handle != nullptr) {
        acquireImageStream(handle, nullptr, 0);
        closeCxDevice(handle);
    }
    removeCxDevices();
    unloadCxLib();
    kx::UsbTransport::replace(nullptr);
    std::filesystem::current_path(m_previous);
    std::filesystem::remove_all(m_dir);
}
