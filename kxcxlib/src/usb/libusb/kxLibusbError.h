// libusb's error codes, translated into the platform error codes (errno values) the rest of the
// library reads. The libusb backend translates every failure here, once, before it leaves the
// backend.
#pragma once

namespace kx {

class LibusbError {
public:
    LibusbError() = delete;

    // The errno value for a libusb error code (LIBUSB_ERROR_TIMEOUT -> ETIMEDOUT, ...).
    // LIBUSB_ERROR_OTHER and codes libusb does not define read as EIO; success (zero or a
    // positive count) reads as 0.
    static int toErrno(int libusbCode);

    // Sets the calling thread's platform error to the translation of libusbCode.
    static void setLastError(int libusbCode);

    // The errno value for how a transfer ended (a libusb_transfer_status): COMPLETED reads as 0,
    // TIMED_OUT as ETIMEDOUT, STALL as EPIPE, NO_DEVICE as ENODEV, CANCELLED as ECANCELED,
    // OVERFLOW as EOVERFLOW, ERROR and values libusb does not define as EIO.
    static int transferStatusToErrno(int status);
};

}  // namespace kx
