// Base of the device objects: a module lock (the object's own reference) and a module log.
#pragma once

#include "log/kxCxModLog.h"
#include "object/kxCxModLock.h"

class CamBase : public ModLock, public ModLog {
public:
    // Which module object an application call holds a reference on.
    enum class AppRef { Log, Object };

    // Initialises both module objects, each holding its first reference.
    CamBase();
    ~CamBase() override;

    // Runs before an application call on the device: takes a reference on the module log, or,
    // when that is refused, on the object itself, and says which in taken. 0, or -1 with a
    // "Library Uninitialized." warning when both are refused.
    int prepAppIntfFunc(AppRef* taken = nullptr);
    // Gives back the reference a successful prepAppIntfFunc took, so counts stay bounded however
    // long the device is used.
    void doneAppIntfFunc(AppRef taken);
};
