#include "SimDeviceFixture.h"

#include <algorithm>
#include <fstream>

#include "kxCxLogger.h"
#include "kxLogSession.h"
#include "kxUsbTransport.h"

SimDeviceFixture::SimDeviceFixture() {
    auto sim = std::make_unique<kx::SimBackend>(&host);
    backend = sim.get();
    backend->transferLog().setCapacity(kx::SimTransferLog::kTestCapacity);
    kx::UsbTransport::replace(std::move(sim));
    loadCxLib();
}

SimDeviceFixture::~SimDeviceFixture() {
    for (CamContext* handle : opened) {
        closeCxDevice(handle);
    }
    removeCxDevices();
    std::string error;
    host.configure("none", error);
    findCxDevices();
    unloadCxLib();
    kx::UsbTransport::replace(nullptr);
}

void SimDeviceFixture::plug(const char* description) {
    std::string error;
    ASSERT_TRUE(host.configure(description, error)) << error;
    findCxDevices();
}

CamContext* SimDeviceFixture::open(const std::string& name, const char* regFile,
                                   const char* traceFile) {
    CamContext* handle = openCxDevice(name, 400, 400, 480000, regFile, traceFile);
    if (handle != nullptr) {
        opened.push_back(handle);
    }
    return handle;
}

CamContext* SimDeviceFixture::openBoard(const char* description) {
    plug(description);
    CamContext* handle = open();
    EXPECT_NE(handle, nullptr);
    clearLog();
    return handle;
}

int SimDeviceFixture::close(CamContext* handle) {
    std::erase(opened, handle);
    return closeCxDevice(handle);
}

std::string SimDeviceFixture::logText() {
    if (CxLogger* logger = CxLogger::existing()) {
        logger->flushPending();
    }
    return dir.read(LogSession::todaysFileName());
}

std::string SimDeviceFixture::writeFile(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
    return name;
}
