#include "object/kxCxModLock.h"

ModLock::~ModLock() = default;

int ModLock::decModLockRef() {
    return _decModObjRef_();
}

int ModLock::relModLock() {
    return _relModObj_();
}
