#include "device/kxCamDevice.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <set>

#include "device/kxCamChannel.h"
#include "log/kxCxLogger.h"
#include "log/kxCxModLog.h"
#include "log/kxModFault.h"
#include "usb/kxPlatformError.h"

namespace {

// Every device object of the process, for stopAllStreams.
std::mutex g_devicesMutex;
std::set<CamDevice*> g_devices;

}  // namespace

CamDevice::CamDevice() {
    for (CamContext& context : m_contexts) {
        context.owner = this;
    }
    std::lock_guard<std::mutex> lock(g_devicesMutex);
    g_devices.insert(this);
}

CamDevice::~CamDevice() {
    {
        std::lock_guard<std::mutex> lock(g_devicesMutex);
        g_devices.erase(this);
    }
    for (CamContext& context : m_contexts) {
        if (context.usbDevice()) {
            CamChannel::close(&context);
        }
    }
}

void CamDevice::stopAllStreams() {
    std::lock_guard<std::mutex> lock(g_devicesMutex);
    for (CamDevice* device : g_devices) {
        for (CamContext& context : device->m_contexts) {
            // A stream that ended itself (its board left) is stopped too: its threads are
            // joined.
            if (context.callback.load() != nullptr) {
                device->streamControl(&context, nullptr, 0);
            }
        }
    }
}

std::unique_ptr<kx::UsbDevice> CamDevice::openDevicePath(const kx::Guid& interfaceGuid,
                                                         int memberIndex) {
    return CamChannel::open(interfaceGuid, memberIndex);
}

int CamDevice::closeChannel(CamContext* context) {
    return CamChannel::close(context);
}

CamContext* CamDevice::openChannel(const kx::Guid& interfaceGuid, int memberIndex) {
    CamContext& context = m_contexts[m_openCount == 0 ? 0 : 1];
    context.reset(this);
    context.setUsbDevice(openDevicePath(interfaceGuid, memberIndex));
    const bool opened = context.usbDevice() != nullptr;
    if (!opened || CamChannel::init(context) != 0) {
        CxLogger::instance().log(8,
                                 opened ? "Setting up interface %d of %s failed: %s\n"
                                        : "Opening interface %d of %s failed: %s\n",
                                 memberIndex, interfaceGuid.toString().c_str(),
                                 std::strerror(kx::lastPlatformError()));
        return nullptr;
    }
    return &context;
}

bool CamDevice::validGeometry(int width, int height, int frameBytes) {
    return width > 0 && height > 0 && frameBytes > 0;
}

void CamDevice::setGeometry(CamContext& context, int width, int height, int frameBytes) {
    context.width = width;
    context.height = height;
    context.frameBytes = frameBytes;
    context.bytesPerPixel =
        static_cast<int32_t>(frameBytes / (static_cast<int64_t>(width) * height));
}

bool CamDevice::allocateFrameStore(CamContext& context, std::size_t extra) {
    context.frameStore.reset();
    context.frameStoreBytes = 0;
    const std::size_t bytes = static_cast<std::size_t>(context.width) *
                                  static_cast<std::size_t>(context.height) * kFrameSlots * 4 +
                              extra;
    // Twelve slots of frameBytes, the last read rounded up to whole 512-byte packets, must fit
    // even when frameBytes exceeds width x height x 4.
    const std::size_t frame = static_cast<std::size_t>(context.frameBytes);
    const std::size_t needed = frame * (kFrameSlots - 1) + (frame + 511) / 512 * 512;
    const std::size_t size = std::max(bytes, needed);
    context.frameStore.reset(new (std::nothrow) uint8_t[size]());
    if (!context.frameStore) {
        CxLogger::instance().log(8, "No memory for a frame store of %d KiB\n",
                                 static_cast<int>(size / 1024));
        return false;
    }
    context.frameStoreBytes = size;
    return true;
}

CamContext* CamDevice::completeOpen(CamContext* context, int width, int height, int frameBytes,
                                    std::size_t extra) {
    setGeometry(*context, width, height, frameBytes);
    if (!allocateFrameStore(*context, extra)) {
        closeChannel(context);
        return nullptr;
    }
    ++m_openCount;
    return context;
}

void CamDevice::releaseStreaming(CamContext& context) {
    context.callback = nullptr;
    context.acqStartedEvent.reset();
    context.acqAbortEvent.reset();
    context.acqExitedEvent.reset();
    context.cbAbortEvent.reset();
    context.cbExitedEvent.reset();
}

int CamDevice::frameCounters(CamContext* context, int* first, int* second) {
    std::unique_ptr<uint8_t[]> reply(new (std::nothrow) uint8_t[4]());
    if (!reply) {
        return -1;
    }
    int transferred = 0;
    CamChannel::control(context, 1, kRequestFrameCounters, 0, 0, 4, reply.get(), &transferred);
    *first = reply[0] | reply[1] << 8;
    *second = reply[2] | reply[3] << 8;
    return transferred;
}

CxFrameCallback CamDevice::currentCallback(CamContext* context) {
    return context != nullptr ? context->callback.load() : nullptr;
}
