// The progress report of a loader: the caller's callback (may be null) with the loader's abort
// flag, which the callback may set.
#pragma once

#include <kxCxApi.h>

class LoaderProgress {
public:
    explicit LoaderProgress(CxProgressProc proc) : m_proc(proc) {}

    void report(int value) {
        if (m_proc != nullptr) {
            m_proc(value, &m_abort);
        }
    }
    bool aborted() const { return m_abort; }

private:
    CxProgressProc m_proc;
    bool m_abort = false;
};
