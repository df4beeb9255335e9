#include "api/kxExportChecks.h"

#include "device/kxCamContext.h"
#include "frame/kxCxLib.h"

int ExportChecks::handle(const CamContext* handle) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    return handle == nullptr ? -2 : 0;
}

int ExportChecks::device(const CamContext* handle, const DeviceCodes& codes) {
    int ownerCode = 0;
    if (handle->kindTag == 0) {
        ownerCode = codes.kind0WithoutOwner;
    } else if (handle->kindTag == 1) {
        ownerCode = codes.kind1WithoutOwner;
    } else {
        return codes.unknownKind;
    }
    return handle->owner == nullptr ? ownerCode : 0;
}

int ExportChecks::boardControl(const CamContext* handle) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    return device(handle, kBoardControl);
}
