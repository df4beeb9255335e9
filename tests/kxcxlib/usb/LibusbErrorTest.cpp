// The translation of libusb's error codes and transfer statuses into errno values.
#include <gtest/gtest.h>
#include <libusb.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "usb/kxPlatformError.h"
#include "usb/libusb/kxLibusbError.h"

namespace {

TEST(LibusbError, TranslatesEveryLibusbError) {
    const std::vector<std::pair<int, int>> table = {
        {LIBUSB_ERROR_TIMEOUT, ETIMEDOUT},
        {LIBUSB_ERROR_NO_DEVICE, ENODEV},
        {LIBUSB_ERROR_PIPE, EPIPE},
        {LIBUSB_ERROR_IO, EIO},
        {LIBUSB_ERROR_ACCESS, EACCES},
        {LIBUSB_ERROR_BUSY, EBUSY},
        {LIBUSB_ERROR_NOT_FOUND, ENOENT},
        {LIBUSB_ERROR_OVERFLOW, EOVERFLOW},
        {LIBUSB_ERROR_INVALID_PARAM, EINVAL},
        {LIBUSB_ERROR_NO_MEM, ENOMEM},
        {LIBUSB_ERROR_NOT_SUPPORTED, ENOTSUP},
        {LIBUSB_ERROR_INTERRUPTED, EINTR},
        {LIBUSB_ERROR_OTHER, EIO},
        {-1000, EIO},
        {LIBUSB_SUCCESS, 0},
        {64, 0},
    };
    for (const auto& [code, expected] : table) {
        EXPECT_EQ(kx::LibusbError::toErrno(code), expected) << libusb_error_name(code);
    }
}

TEST(LibusbError, SetsTheCallersPlatformError) {
    kx::LibusbError::setLastError(LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(kx::lastPlatformError(), ENODEV);
    kx::LibusbError::setLastError(LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(kx::lastPlatformError(), ETIMEDOUT);
}

TEST(LibusbError, TranslatesEveryTransferStatus) {
    const std::vector<std::pair<int, int>> table = {
        {LIBUSB_TRANSFER_COMPLETED, 0},
        {LIBUSB_TRANSFER_ERROR, EIO},
        {LIBUSB_TRANSFER_TIMED_OUT, ETIMEDOUT},
        {LIBUSB_TRANSFER_CANCELLED, ECANCELED},
        {LIBUSB_TRANSFER_STALL, EPIPE},
        {LIBUSB_TRANSFER_NO_DEVICE, ENODEV},
        {LIBUSB_TRANSFER_OVERFLOW, EOVERFLOW},
        {99, EIO},
        {-1, EIO},
    };
    for (const auto& [status, expected] : table) {
        EXPECT_EQ(kx::LibusbError::transferStatusToErrno(status), expected) << status;
    }
}

}  // namespace
