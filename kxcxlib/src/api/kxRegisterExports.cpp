// The exports of register and sensor access: raw vendor requests, single registers over the I2C
// bridge, the small board controls and the register file sender.
#include <memory>
#include <new>

#include "kxCamChannel.h"
#include "kxCamContext.h"
#include "kxCxApi.h"
#include "kxCxLogger.h"
#include "kxExportChecks.h"
#include "kxExportGuard.h"
#include "kxRegFileSender.h"
#include "kxRegisterAccess.h"

namespace {

constexpr int kRequestSpeed0 = 0xAA;
constexpr int kRequestSpeed1 = 0xAB;
constexpr int kRequestFifoReset = 0xC0;
constexpr int kSensorDvpControl = 0x3003;
constexpr int kDvpClockBit = 0x20;
constexpr int kSensorSignalWeight = 0x3100;
constexpr int kSignalWeightValues[] = {0x35, 0x75};

int setDvpClock(CamContext* handle, bool running) {
    if (const int code = ExportChecks::boardControl(handle); code != 0) {
        return code;
    }
    const int value =
        RegisterAccess::readOrZero(handle, RegisterAccess::kSlaveSensor, kSensorDvpControl, true);
    RegisterAccess::write(handle, RegisterAccess::kSlaveSensor, kSensorDvpControl,
                          running ? value | kDvpClockBit : value & ~kDvpClockBit, true);
    CxLogger::instance().log(
        8, running ? "*****START VIDEO STREAMING*****\n" : "*****STOP VIDEO STREAMING*****\n");
    return 0;
}

}  // namespace

extern "C" {

int ioctlCxDevice(CamContext* handle, int, int directionIn, int request, int value, int index,
                  int length, void* data, int* transferred) {
    if (transferred != nullptr) {
        *transferred = 0;
    }
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (length < 0 || length > 0xFFFF) {
        return -1;
    }
    return guarded(-1, [&] {
        return CamChannel::control(handle, directionIn, request, value, index, length, data,
                                   transferred);
    });
}

int readRegister(CamContext* handle, int slave, int reg, int* value, int wide) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    return RegisterAccess::read(handle, slave, reg, value, wide != 0);
}

int writeRegister(CamContext* handle, int slave, int reg, int value, int wide) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    return RegisterAccess::write(handle, slave, reg, value, wide != 0);
}

int readSCCB(CamContext* handle, int slave, int reg, int* value) {
    return readRegister(handle, slave, reg, value, 1);
}

int writeSCCB(CamContext* handle, int slave, int reg, int value) {
    return writeRegister(handle, slave, reg, value, 1);
}

int setCxSpeed(CamContext* handle, int speed) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[2]());
    if (!buffer) {
        return -1;
    }
    CamChannel::control(handle, 0, speed == 0 ? kRequestSpeed0 : kRequestSpeed1, 0, 0, 0,
                        buffer.get(), nullptr);
    return 0;
}

int setCxSignalWeight(CamContext* handle, int weight) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (static_cast<unsigned>(weight) > 1) {
        return -1;
    }
    RegisterAccess::readOrZero(handle, RegisterAccess::kSlaveSensor, kSensorSignalWeight, true);
    RegisterAccess::write(handle, RegisterAccess::kSlaveSensor, kSensorSignalWeight,
                          kSignalWeightValues[weight], true);
    return 0;
}

int resetUsbFifo(CamContext* handle) {
    if (const int code = ExportChecks::boardControl(handle); code != 0) {
        return code;
    }
    return CamChannel::control(handle, 0, kRequestFifoReset, 0, 0, 0, nullptr, nullptr) == 0 ? 0
                                                                                             : -1;
}

int stopDvpClock(CamContext* handle) {
    return setDvpClock(handle, false);
}

int restartDvpClock(CamContext* handle) {
    return setDvpClock(handle, true);
}

int sendRegFile(CamContext* handle, const char* path, CxProgressProc progress) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (handle->kindTag != 0 && handle->kindTag != 1) {
        return -5;
    }
    return guarded(-1, [&] {
        RegFileSender sender;
        return sender.send(handle, path, nullptr, progress);
    });
}

}  // extern "C"
