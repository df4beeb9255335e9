// The platform error code of the calling thread: the POSIX errno value that the transport sets
// when an operation fails (ETIMEDOUT, ENODEV, EPIPE, EIO, ...). Library code reads it where it
// reports or stores "the system's last error".
#pragma once

namespace kx {

int lastPlatformError();
void setLastPlatformError(int code);

}  // namespace kx
