#include "kxExportChecks.h"

#include "kxCamContext.h"
#include "kxCxLib.h"

int ExportChecks::handle(const CamContext* handle) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    return handle == nullptr ? -2 : 0;
}

int ExportChecks::boardControl(const CamContext* handle) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (handle->kindTag == 1) {
        return handle->owner != nullptr ? 0 : -4;
    }
    if (handle->kindTag == 0) {
        return handle->owner != nullptr ? 0 : -3;
    }
    return -5;
}
