// The exports of frame acquisition: streaming with a frame callback, single frames, the board's
// frame counters.
#include <kxCxApi.h>
#include "acq/kxSingleFrameCapture.h"
#include "api/kxExportChecks.h"
#include "api/kxExportGuard.h"
#include "device/kxCamContext.h"
#include "device/kxCamDevice.h"
#include "frame/kxCxLib.h"
#include "variant/kxMvCamDevice.h"

extern "C" {

int acquireImageStream(CamContext* handle, CxFrameCallback callback, int value) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    const int refused = ExportChecks::device(handle, ExportChecks::kBoardControl);
    // A stop stores the value once the streaming thread has ended, so the frame callback never
    // sees the status word change under it.
    if (refused != 0 || callback != nullptr) {
        handle->status().store(value);
    }
    if (refused != 0) {
        return refused;
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
    if (ExportChecks::device(handle, ExportChecks::kBoardControl) != 0) {
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
    if (const int code = ExportChecks::device(handle, ExportChecks::kFrameCapture); code != 0) {
        return code;
    }
    if (handle->kindTag == 1) {
        return guarded(-1, [&] { return SingleFrameCapture::capture(*handle, destination); });
    }
    // Kind 0 is the second variant's own single-frame path: another owner cannot take it.
    auto* device = dynamic_cast<mvCamDevice*>(handle->owner);
    if (device == nullptr) {
        return ExportChecks::kFrameCapture.kind0WithoutOwner;
    }
    return guarded(-1, [&] { return device->captureOneFrame(handle, destination); });
}

int getAcqFrameCounts(CamContext* handle, int* first, int* second) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (first == nullptr || second == nullptr) {
        return -3;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kFrameCapture); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return handle->owner->frameCounters(handle, first, second); });
}

}  // extern "C"
