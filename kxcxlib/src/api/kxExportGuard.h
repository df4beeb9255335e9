// Runs an export's body; an exception never crosses the library's interface, it becomes the
// export's failure result. The export then returns with errno set to the calling thread's
// platform error (kxPlatformError.h): after a call that failed, errno holds the code of the
// failure, "the system's last error code" that callers report.
#pragma once

#include <cerrno>

#include "usb/kxPlatformError.h"

template <typename Result, typename Body>
Result guarded(Result fallback, Body body) noexcept {
    Result result = fallback;
    try {
        result = body();
    } catch (...) {
        // A standard exception, or anything else thrown below (a value, another library's type).
        result = fallback;
    }
    errno = kx::lastPlatformError();
    return result;
}
