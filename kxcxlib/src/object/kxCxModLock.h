// A module object with its own lock (a recursive mutex, so one thread may nest it).
#pragma once

#include <mutex>

#include "object/kxCxModBase.h"

class ModLock : public ModBase {
public:
    ~ModLock() override;

    // Drop a reference of the lock object; the release check. Both return 0.
    int decModLockRef();
    int relModLock();

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};
