// The exports of the boards: discovery, their names and number, open and close.
#include <memory>

#include <kxCxApi.h>
#include "api/kxExportChecks.h"
#include "api/kxExportGuard.h"
#include "device/kxCamContext.h"
#include "device/kxCamDevice.h"
#include "frame/kxCxLib.h"
#include "usb/kxUsbTransport.h"
#include "variant/kxCamDeviceFactory.h"

extern "C" {

int findCxDevices() {
    return guarded(-1, [] {
        if (kxCxLib::obtain() == nullptr) {
            return -1;
        }
        return kxCxLib::discover(kx::UsbTransport::backend());
    });
}

int getNumberOfCxDevices() {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    return static_cast<int>(kxCxLib::deviceTable().size());
}

int closeCxDevice(CamContext* handle) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return -3;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kClose); code != 0) {
        return code;
    }
    CamDevice* owner = handle->owner;
    const int closed = guarded(-1, [&] { return owner->closeContext(handle); });
    delete owner;
    return closed >= 0 ? 0 : -7;
}

int removeCxDevices() {
    return guarded(-1, [] {
        if (kxCxLib::obtain() == nullptr) {
            return -1;
        }
        kxCxLib::clearOpenContexts();
        return 0;
    });
}

}  // extern "C"

int getCxDeviceNames(std::vector<std::string>& names) {
    return guarded(-1, [&names] {
        if (kxCxLib::obtain() == nullptr) {
            return -1;
        }
        return kxCxLib::deviceNames(names);
    });
}

CamContext* openCxDevice(std::string name, int width, int height, int frameBytes,
                         const char* regFile, const char* traceFile) {
    return guarded<CamContext*>(nullptr, [&]() -> CamContext* {
        if (kxCxLib::obtain() == nullptr) {
            return nullptr;
        }
        CxDeviceEntry* entry = kxCxLib::findEntry(name);
        if (entry == nullptr) {
            return nullptr;
        }
        CamDeviceFactory::Opened opened =
            CamDeviceFactory::open(entry->modelLabel, entry->interfaceGuid, entry->memberIndex,
                                   {width, height, frameBytes, regFile, traceFile});
        CamContext* context = opened.context;
        if (context == nullptr) {
            entry->openContext = nullptr;
            return nullptr;
        }
        context->owner = opened.device.release();
        entry->openContext = context;
        return context;
    });
}
