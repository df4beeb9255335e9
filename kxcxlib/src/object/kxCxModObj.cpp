#include "object/kxCxModObj.h"

#include <mutex>

#include "log/kxModFault.h"

namespace {

std::mutex& refLock() {
    static std::mutex lock;
    return lock;
}

void defaultCallback(ModObj*, intptr_t) {}

}  // namespace

ModObj::~ModObj() = default;

int ModObj::_initModObj_(Callback callback, intptr_t userValue) {
    std::lock_guard<std::mutex> lock(refLock());
    if (m_refCount >= kRefLimit) {
        ModFault::error(ModFault::baseName(__FILE__), __LINE__, "ModObj::_initModObj_");
        return -1;
    }
    m_callback = callback != nullptr ? callback : &defaultCallback;
    m_userValue = callback != nullptr ? userValue : 0;
    ++m_refCount;
    return 0;
}

int ModObj::_incModObjRef_() {
    std::lock_guard<std::mutex> lock(refLock());
    if (m_refCount == 0) {
        return -1;
    }
    if (m_refCount >= kRefLimit) {
        ModFault::error(ModFault::baseName(__FILE__), __LINE__, "ModObj::_incModObjRef_",
                        "ref over limit");
        return -1;
    }
    ++m_refCount;
    return 0;
}

int ModObj::_decModObjRef_() {
    std::lock_guard<std::mutex> lock(refLock());
    --m_refCount;
    return 0;
}

int ModObj::_dropModObjRef_() {
    return _decModObjRef_();
}

int ModObj::_ctlModObj_(int) {
    return 0;
}

int ModObj::_relModObj_() {
    Callback callback = nullptr;
    intptr_t userValue = 0;
    {
        std::lock_guard<std::mutex> lock(refLock());
        if (m_refCount <= 0 && m_callback != nullptr) {
            callback = m_callback;
            userValue = m_userValue;
        }
    }
    if (callback != nullptr) {
        callback(this, userValue);
    }
    return 0;
}

int ModObj::refCount() const {
    std::lock_guard<std::mutex> lock(refLock());
    return m_refCount;
}

void ModObj::setRefCount(int count) {
    std::lock_guard<std::mutex> lock(refLock());
    m_refCount = count;
}
