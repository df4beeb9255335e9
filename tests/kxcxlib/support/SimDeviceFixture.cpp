#include "SimDeviceFixture.h"
#include "kxDailyLogName.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "log/kxCxLogger.h"

namespace {

std::string describe(const kx::SimTransfer& control) {
    char text[64];
    std::snprintf(text, sizeof text, "%02x %02x %04x %04x %u", control.setup.requestType,
                  control.setup.request, control.setup.value, control.setup.index,
                  control.setup.length);
    std::string out = text;
    if ((control.setup.requestType & 0x80) == 0) {
        for (uint8_t byte : control.data) {
            std::snprintf(text, sizeof text, " %02x", byte);
            out += text;
        }
    }
    return out;
}

}  // namespace

SimDeviceFixture::SimDeviceFixture() {
    backend->transferLog().setCapacity(kx::SimTransferLog::kTestCapacity);
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
}

void SimDeviceFixture::plug(const char* boards) {
    SimBoardsFixture::plug(boards);
    findCxDevices();
}

std::vector<std::string> SimDeviceFixture::sentControls() const {
    std::vector<std::string> list;
    for (const kx::SimTransfer& control : controls()) {
        list.push_back(describe(control));
    }
    return list;
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
    return dir.read(DailyLogName::today());
}

std::string SimDeviceFixture::writeFile(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
    return name;
}
