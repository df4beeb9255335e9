#include "usb/libusb/kxLibusbError.h"

#include <libusb.h>

#include <cerrno>

#include "usb/kxPlatformError.h"

namespace kx {

int LibusbError::toErrno(int libusbCode) {
    if (libusbCode >= 0) {
        return 0;
    }
    switch (libusbCode) {
        case LIBUSB_ERROR_TIMEOUT:
            return ETIMEDOUT;
        case LIBUSB_ERROR_NO_DEVICE:
            return ENODEV;
        case LIBUSB_ERROR_PIPE:
            return EPIPE;
        case LIBUSB_ERROR_IO:
            return EIO;
        case LIBUSB_ERROR_ACCESS:
            return EACCES;
        case LIBUSB_ERROR_BUSY:
            return EBUSY;
        case LIBUSB_ERROR_NOT_FOUND:
            return ENOENT;
        case LIBUSB_ERROR_OVERFLOW:
            return EOVERFLOW;
        case LIBUSB_ERROR_INVALID_PARAM:
            return EINVAL;
        case LIBUSB_ERROR_NO_MEM:
            return ENOMEM;
        case LIBUSB_ERROR_NOT_SUPPORTED:
            return ENOTSUP;
        case LIBUSB_ERROR_INTERRUPTED:
            return EINTR;
        default:
            return EIO;
    }
}

void LibusbError::setLastError(int libusbCode) {
    setLastPlatformError(toErrno(libusbCode));
}

int LibusbError::transferStatusToErrno(int status) {
    switch (status) {
        case LIBUSB_TRANSFER_COMPLETED:
            return 0;
        case LIBUSB_TRANSFER_TIMED_OUT:
            return ETIMEDOUT;
        case LIBUSB_TRANSFER_STALL:
            return EPIPE;
        case LIBUSB_TRANSFER_NO_DEVICE:
            return ENODEV;
        case LIBUSB_TRANSFER_CANCELLED:
            return ECANCELED;
        case LIBUSB_TRANSFER_OVERFLOW:
            return EOVERFLOW;
        default:  // LIBUSB_TRANSFER_ERROR
            return EIO;
    }
}

}  // namespace kx
