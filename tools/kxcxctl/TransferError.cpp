#include "TransferError.h"

#include <cerrno>
#include <cstring>

std::string TransferError::cause(int result) {
    switch (-result) {
        case ENODEV:
            return "the board was removed";
        case ETIMEDOUT:
            return "transfer timed out";
        case EPIPE:
            return "the board refused a transfer (stall)";
        case ECANCELED:
            return "a transfer was cancelled";
        default:
            return std::string("a transfer failed: ") + std::strerror(-result);
    }
}
