#include "device/kxCamBase.h"

#include "log/kxModFault.h"

CamBase::CamBase() {
    ModLock::_initModObj_(nullptr, 0);
    ModLog::_initModObj_(nullptr, 0);
}

CamBase::~CamBase() = default;

int CamBase::prepAppIntfFunc(AppRef* taken) {
    AppRef ref = AppRef::Log;
    if (ModLog::_incModObjRef_() != 0) {
        if (ModLock::_incModObjRef_() != 0) {
            ModFault::warning(ModFault::baseName(__FILE__), __LINE__, "CamBase::prepAppIntfFunc",
                              "Library Uninitialized.");
            return -1;
        }
        ref = AppRef::Object;
    }
    if (taken != nullptr) {
        *taken = ref;
    }
    return 0;
}

void CamBase::doneAppIntfFunc(AppRef taken) {
    if (taken == AppRef::Object) {
        decModLockRef();
    } else {
        decModLogRef();
    }
}
