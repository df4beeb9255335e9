// The export that tells a caller of boards arriving and leaving.
#include <kxCxApi.h>
#include "api/kxExportGuard.h"
#include "frame/kxCxLib.h"
#include "usb/kxUsbTransport.h"

extern "C" int setCxDeviceNotify(CxDeviceNotifyProc proc, void* user) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    return guarded(-1, [&] {
        kx::UsbBackend& backend = kx::UsbTransport::backend();
        kx::HotplugHandler handler;
        if (proc != nullptr) {
            // The backend tells of the boards of the model table's rows only.
            backend.setModelGuids(kxCxLib::modelTable());
            handler = [proc, user](kx::HotplugEvent event, const std::string& path,
                                   const std::string& model) {
                proc(event == kx::HotplugEvent::Arrived ? CxDeviceArrived : CxDeviceRemoved,
                     path.c_str(), model.c_str(), user);
            };
        }
        return backend.setHotplugHandler(std::move(handler)) ? 0 : -3;
    });
}
