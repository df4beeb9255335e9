// The exports of frame acquisition: streaming with a frame callback, single frames, the board's
// frame counters.
#include "kxCamContext.h"
#include "kxCamDevice.h"
#include "kxCxApi.h"
#include "kxCxLib.h"
#include "kxExportChecks.h"
#include "kxExportGuard.h"
#include "kxMvCamDevice.h"
#include "kxSingleFrameCapture.h"

extern "C" {

int acquireImageStream(CamContext* handle, CxFrameCallback callback, int value) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    const bool usable = (handle->kindTag == 0 || handle->kindTag == 1) && handle->owner != nullptr;
    // A stop stores the value once the streaming thread has ended, so the frame callback never
    // sees the status word change under it.
    if (!usable || callback != nullptr) {
        handle->status().store(value);
    }
    if (handle->kindTag == 0 && handle->owner == nullptr) {
        return -3;
    }
    if (handle->kindTag == 1 && handle->owner == nullptr) {
        return -4;
    }
    if (handle->kindTag != 0 && handle->kindTag != 1) {
        return -5;
    }
    const int result =
        guarded(-1, [&] { return handle->owner->streamControl(handle, callback, value); });
    if (callback == nullptr) {
        handle->status().store(value);
    }
    return result;
}

CxFrameCallback getAcqCallbackProc(CamContext* handle, int* value) {
    if (ExportChecks::handle(handle) != 0) {
        return nullptr;
    }
    if (value != nullptr) {
        *value = handle->status().load();
    }
    if ((handle->kindTag != 0 && handle->kindTag != 1) || handle->owner == nullptr) {
        return nullptr;
    }
    return handle->owner->currentCallback(handle);
}

int acquireOneFrame(CamContext* handle, void* destination) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (destination == nullptr) {
        return -3;
    }
    if (handle->kindTag == 1) {
        if (handle->owner == nullptr) {
            return -5;
        }
        return guarded(-1, [&] { return SingleFrameCapture::capture(*handle, destination); });
    }
    if (handle->kindTag == 0) {
        if (handle->owner == nullptr) {
            return -4;
        }
        auto* device = dynamic_cast<mvCamDevice*>(handle->owner);
        if (device == nullptr) {
            return -4;
        }
        return guarded(-1, [&] { return device->captureOneFrame(handle, destination); });
    }
    return -6;
}

int getAcqFrameCounts(CamContext* handle, int* first, int* second) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (first == nullptr || second == nullptr) {
        return -3;
    }
    if (handle->kindTag == 0 && handle->owner == nullptr) {
        return -4;
    }
    if (handle->kindTag == 1 && handle->owner == nullptr) {
        return -5;
    }
    if (handle->kindTag != 0 && handle->kindTag != 1) {
        return -6;
    }
    return guarded(-1, [&] { return handle->owner->frameCounters(handle, first, second); });
}

}  // extern "C"
