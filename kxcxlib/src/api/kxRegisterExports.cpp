// The exports of register and sensor access: raw vendor requests, single registers over the I2C
// bridge, the small board controls and the register file sender. Each checks the library and the
// handle first (ExportChecks) and lets no exception out (guarded).
#include <memory>
#include <new>

#include <kxCxApi.h>
#include "api/kxExportChecks.h"
#include "api/kxExportGuard.h"
#include "device/kxCamChannel.h"
#include "device/kxCamContext.h"
#include "log/kxCxLogger.h"
#include "regs/kxBoardControl.h"
#include "regs/kxRegFileSender.h"
#include "regs/kxRegisterAccess.h"

namespace {

int setDvpClock(CamContext* handle, bool running) {
    if (const int code = ExportChecks::boardControl(handle); code != 0) {
        return code;
    }
    return guarded(-1, [&] {
        BoardControl::setDvpClock(handle, running);
        CxLogger::instance().log(
            8, running ? "*****START VIDEO STREAMING*****\n" : "*****STOP VIDEO STREAMING*****\n");
        return 0;
    });
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
    // wLength is 16 bits: a longer (or negative) length would silently become another one.
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
    return guarded(-1, [&] { return RegisterAccess::read(handle, slave, reg, value, wide != 0); });
}

int writeRegister(CamContext* handle, int slave, int reg, int value, int wide) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return RegisterAccess::write(handle, slave, reg, value, wide != 0); });
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
    return guarded(-1, [&] {
        BoardControl::setSpeed(handle, speed);
        return 0;
    });
}

int setCxSignalWeight(CamContext* handle, int weight) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return BoardControl::setSignalWeight(handle, weight) ? 0 : -1; });
}

int resetUsbFifo(CamContext* handle) {
    if (const int code = ExportChecks::boardControl(handle); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return BoardControl::resetFifo(handle) ? 0 : -1; });
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
    if (const int code = ExportChecks::device(handle, ExportChecks::kTableTransfer); code != 0) {
        return code;
    }
    return guarded(-1, [&] {
        RegFileSender sender;
        return sender.send(handle, path, nullptr, progress);
    });
}

}  // extern "C"
