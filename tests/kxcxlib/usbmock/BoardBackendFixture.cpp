#include "BoardBackendFixture.h"

#include <algorithm>

#include "PlugBoards.h"

#include "usb/kxUsbTransport.h"
#include "usb/libusb/kxLibusbBackend.h"
#include "usb/sim/kxSimBackend.h"

std::string BoardBackendFixture::nameOf(const testing::TestParamInfo<BackendKind>& info) {
    return info.param == BackendKind::Sim ? "Sim" : "Libusb";
}

BoardBackendFixture::~BoardBackendFixture() {
    if (m_listening) {
        setCxDeviceNotify(nullptr, nullptr);
    }
    for (CamContext* handle : m_opened) {
        closeCxDevice(handle);
    }
    removeCxDevices();
    unloadCxLib();
    // libusb ends before the emulated bus it reads goes.
    kx::UsbTransport::replace(nullptr);
    bridge.reset();
}

void BoardBackendFixture::start(const char* description, usbmock::OsDescriptors os) {
    plugBoards(host, description);
    if (viaLibusb()) {
        bridge = std::make_unique<usbmock::UsbdevfsBridge>(host, os);
        kx::UsbTransport::replace(std::make_unique<kx::LibusbBackend>());
    } else {
        kx::UsbTransport::replace(std::make_unique<kx::SimBackend>(&host));
    }
    loadCxLib();
    findCxDevices();
}

CamContext* BoardBackendFixture::startAndOpen(const char* description) {
    start(description);
    return open();
}

CamContext* BoardBackendFixture::open(const std::string& name) {
    CamContext* handle = openCxDevice(name, 400, 400, 480000, nullptr, nullptr);
    if (handle != nullptr) {
        m_opened.push_back(handle);
    }
    return handle;
}

int BoardBackendFixture::close(CamContext* handle) {
    std::erase(m_opened, handle);
    return closeCxDevice(handle);
}

std::shared_ptr<boardsim::CameraBoard> BoardBackendFixture::board(const std::string& path) {
    return host.board(path);
}

std::string BoardBackendFixture::pathOf(const std::string& boardPath) const {
    return bridge ? bridge->devicePath(boardPath) : boardPath;
}

void BoardBackendFixture::hear(int event, const char* path, const char* model, void* user) {
    auto* notices = static_cast<Notices*>(user);
    std::lock_guard lock(notices->mutex);
    notices->events.push_back((event == CxDeviceArrived ? "+" : "-") + std::string(path) + " " +
                              model);
    notices->changed.notify_all();
}

void BoardBackendFixture::listen() {
    ASSERT_EQ(setCxDeviceNotify(&hear, &m_notices), 0);
    m_listening = true;
}

std::vector<std::string> BoardBackendFixture::heard(std::size_t count,
                                                    std::chrono::milliseconds limit) {
    std::unique_lock lock(m_notices.mutex);
    m_notices.changed.wait_for(lock, limit, [&] { return m_notices.events.size() >= count; });
    return m_notices.events;
}
