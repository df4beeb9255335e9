// A reference-counted module object. Every count in the process is guarded by one lock.
#pragma once

#include <cstdint>

class ModObj {
public:
    // Told when a release check finds the object unreferenced.
    using Callback = void (*)(ModObj* object, intptr_t userValue);

    static constexpr int kRefLimit = 0x7FFFFFFE;

    ModObj() = default;
    ModObj(const ModObj&) = delete;
    ModObj& operator=(const ModObj&) = delete;
    virtual ~ModObj();

    // Stores the callback (a default when null) and the user value (0 with a null callback) and
    // takes the first reference. 0, or -1 at the reference limit.
    virtual int _initModObj_(Callback callback, intptr_t userValue);
    // Takes a reference. -1 silently on an object that was never initialised, -1 with a
    // "ref over limit" line at the limit, else 0.
    virtual int _incModObjRef_();
    // Drop a reference; both return 0.
    virtual int _decModObjRef_();
    virtual int _dropModObjRef_();
    // Reserved control operation; returns 0.
    virtual int _ctlModObj_(int argument);
    // Calls the callback when no reference is left; returns 0.
    virtual int _relModObj_();

    int refCount() const;

protected:
    // For derived classes that restore a count.
    void setRefCount(int count);

private:
    int m_refCount = 0;
    Callback m_callback = nullptr;
    intptr_t m_userValue = 0;
};
