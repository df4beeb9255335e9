// The export that tells a caller of boards arriving and leaving.
#include <mutex>

#include "kxCxApi.h"
#include "kxCxLib.h"
#include "kxExportGuard.h"
#include "kxUsbTransport.h"

extern "C" int setCxDeviceNotify(CxDeviceNotifyProc proc, void* user) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    return guarded(-1, [&] {
        kx::HotplugHandler handler;
        if (proc != nullptr) {
            handler = [proc, user](kx::HotplugEvent event, const std::string& path) {
                proc(event == kx::HotplugEvent::Arrived ? CxDeviceArrived : CxDeviceRemoved,
                     path.c_str(), user);
            };
        }
        return kx::UsbTransport::backend().setHotplugHandler(std::move(handler)) ? 0 : -3;
    });
}
