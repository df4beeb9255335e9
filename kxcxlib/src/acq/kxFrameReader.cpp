#include "acq/kxFrameReader.h"

#include <cerrno>
#include <memory>
#include <mutex>

#include "acq/kxFpgaLayout.h"
#include "device/kxAppCall.h"
#include "device/kxCamChannel.h"
#include "device/kxCamContext.h"
#include "log/kxModFault.h"
#include "usb/kxPlatformError.h"

namespace {

constexpr const char* kReadName = "CamDevice::getBulkData";

}  // namespace

int FrameReader::paddedBytes(int frameBytes) {
    return (frameBytes + FpgaLayout::kPacketBytes - 1) / FpgaLayout::kPacketBytes *
           FpgaLayout::kPacketBytes;
}

int FrameReader::read(CamContext& context, uint8_t* dest) {
    return read(context, dest, FpgaLayout::packetMode(FpgaLayout::readVersion(&context)));
}

int FrameReader::read(CamContext& context, uint8_t* dest, bool packetMode) {
    AppCall call(context);
    std::lock_guard<std::recursive_mutex> lock(context.transferLock);
    const std::shared_ptr<kx::UsbDevice> device = context.usbDevice();
    const int frameBytes = context.frameBytes;
    int received = 0;
    int zeroReads = 0;
    int remaining = packetMode ? paddedBytes(frameBytes) : frameBytes;
    if (CamChannel::refuseGone(context)) {
        return packetMode ? -1 : -ENODEV;
    }
    int failedLine = 0;
    while (received < frameBytes) {
        uint32_t count = 0;
        const uint32_t ask = static_cast<uint32_t>(packetMode ? remaining : frameBytes - received);
        if (!device) {
            kx::setLastPlatformError(ENODEV);
            failedLine = __LINE__;
            break;
        }
        if (!device->readPipe(context.bulkInPipe, dest + received, ask, count)) {
            failedLine = __LINE__;
            break;
        }
        if (count == 0) {
            // A device that answers only with empty packets would keep the read forever.
            if (++zeroReads == kMaxZeroReads) {
                kx::setLastPlatformError(EIO);
                failedLine = __LINE__;
                break;
            }
            continue;
        }
        zeroReads = 0;
        received += static_cast<int>(count);
        remaining -= static_cast<int>(count);
    }
    int result = received;
    if (failedLine != 0) {
        const int error = kx::lastPlatformError();
        CamChannel::transferFailed(context, ModFault::baseName(__FILE__), failedLine, kReadName,
                                   error);
        if (device && error != ENODEV) {
            device->abortPipe(context.bulkInPipe);
        }
        result = packetMode ? -1 : -error;
        kx::setLastPlatformError(error);
    }
    return result;
}
