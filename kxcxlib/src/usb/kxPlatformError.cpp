#include "usb/kxPlatformError.h"

namespace kx {

namespace {
thread_local int t_lastError = 0;
}

int lastPlatformError() {
    return t_lastError;
}

void setLastPlatformError(int code) {
    t_lastError = code;
}

}  // namespace kx
