#include "load/kxVendorRequest.h"

#include <cerrno>

#include "device/kxCamChannel.h"
#include "usb/kxPlatformError.h"

int VendorRequest::out(CamContext* context, int request, int value, int index, const uint8_t* data,
                       int length) {
    int transferred = 0;
    // The channel takes a mutable buffer for both directions; an OUT transfer only reads it.
    if (CamChannel::control(context, 0, request, value, index, length, const_cast<uint8_t*>(data),
                            &transferred) != 0) {
        return failure();
    }
    return transferred;
}

int VendorRequest::in(CamContext* context, int request, int value, int index, uint8_t* data,
                      int length) {
    int transferred = 0;
    if (CamChannel::control(context, 1, request, value, index, length, data, &transferred) != 0) {
        return failure();
    }
    return transferred;
}

int VendorRequest::failure() {
    const int error = kx::lastPlatformError();
    return error > 0 ? -error : -EIO;
}
