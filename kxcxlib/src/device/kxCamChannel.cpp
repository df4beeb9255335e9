#include "device/kxCamChannel.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "device/kxAppCall.h"
#include "device/kxCamContext.h"
#include "device/kxCamDevice.h"
#include "log/kxCxModLog.h"
#include "log/kxModFault.h"
#include "usb/kxPlatformError.h"
#include "usb/kxUsbTransport.h"

namespace {

constexpr const char* kInitName = "CamDevice::initCamDevice";
constexpr const char* kControlName = "CamDevice::ioctlCamDevice";
constexpr const char* kCloseName = "CamDevice::closeCamDevice";

unsigned long lastError() {
    return static_cast<unsigned long>(kx::lastPlatformError());
}

}  // namespace

ModLog& CamChannel::logOf(const CamContext& context) {
    static ModLog orphanLog;
    return context.owner != nullptr ? static_cast<ModLog&>(*context.owner) : orphanLog;
}

void CamChannel::transferFailed(CamContext& context, const char* source, int line,
                                const char* function, int error) {
    if (error == ENODEV) {
        context.deviceGone = true;
    }
    const unsigned long code = static_cast<unsigned long>(error);
    char kind[160];
    std::snprintf(kind, sizeof kind, "%s:%d:%s %08lx", source, line, function, code);
    const std::optional<uint64_t> held = context.failureRecords.admit(kind);
    if (!held) {
        return;
    }
    ModLog& log = logOf(context);
    if (*held == 0) {
        log._outModLog_(ModLog::kError, source, line, function, "%08lx", code);
    } else {
        log._outModLog_(ModLog::kError, source, line, function, "%08lx (%llu more not logged)",
                        code, static_cast<unsigned long long>(*held));
    }
}

bool CamChannel::refuseGone(CamContext& context) {
    if (!context.deviceGone) {
        return false;
    }
    kx::setLastPlatformError(ENODEV);
    return true;
}

std::unique_ptr<kx::UsbDevice> CamChannel::open(const kx::Guid& interfaceGuid, int memberIndex) {
    kx::UsbBackend& backend = kx::UsbTransport::backend();
    std::string path;
    if (backend.interfacePath(interfaceGuid, memberIndex, path) != kx::EnumResult::Found) {
        kx::setLastPlatformError(ENODEV);
        return nullptr;
    }
    if (path.size() > kMaxPathLength) {
        path.resize(kMaxPathLength);
    }
    return backend.open(path);
}

int CamChannel::init(CamContext& context) {
    AppCall call(context);
    ModLog& log = logOf(context);
    std::lock_guard<std::recursive_mutex> controlLock(context.controlLock);
    const auto failed = [&](int line, const char* function = kInitName) {
        log._outModLog_(ModLog::kError, ModFault::baseName(__FILE__), line, function, "%08lx",
                        lastError());
        close(&context);
        return -1;
    };
    const std::shared_ptr<kx::UsbDevice> device = context.usbDevice();
    if (!device) {
        kx::setLastPlatformError(ENODEV);
        return failed(__LINE__);
    }
    context.stopEvent = std::make_shared<kx::Event>(kx::Event::Reset::Manual);

    uint8_t speed = 0;
    if (!device->querySpeed(speed)) {
        return failed(__LINE__);
    }
    context.controlEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);

    kx::InterfaceInfo interface;
    if (!device->queryInterfaceSettings(0, interface)) {
        return failed(__LINE__);
    }
    for (uint8_t index = 0; index < interface.numEndpoints; ++index) {
        kx::PipeInfo pipe;
        if (!device->queryPipe(0, index, pipe)) {
            log._outModLog_(ModLog::kError, ModFault::baseName(__FILE__), __LINE__, kInitName,
                            "%d,%08lx", index, lastError());
            close(&context);
            return -1;
        }
        const bool in = (pipe.pipeId & 0x80) != 0;
        if (pipe.type == kx::PipeType::Bulk) {
            (in ? context.bulkInPipe : context.bulkOutPipe) = pipe.pipeId;
        } else if (pipe.type == kx::PipeType::Interrupt) {
            (in ? context.interruptInPipe : context.interruptOutPipe) = pipe.pipeId;
        }
    }
    if (!device->resetPipe(context.bulkInPipe)) {
        return failed(__LINE__);
    }
    if (!device->setPipePolicy(context.bulkInPipe, kx::PipePolicy::AutoClearStall, 1)) {
        return failed(__LINE__);
    }
    if (!device->setPipePolicy(context.bulkInPipe, kx::PipePolicy::TransferTimeout,
                               kBulkInTimeoutMs)) {
        return failed(__LINE__);
    }
    // A board that does not take what is written (an FPGA not ready for a gamma table) would
    // otherwise hold the writer for ever.
    if (context.bulkOutPipe != 0 &&
        !device->setPipePolicy(context.bulkOutPipe, kx::PipePolicy::TransferTimeout,
                               kBulkOutTimeoutMs)) {
        return failed(__LINE__);
    }
    {
        std::lock_guard<std::recursive_mutex> transferLock(context.transferLock);
        context.startedEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
        context.userBreakEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
        context.frameReadyEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
        for (RingNode& node : context.ring) {
            node.event = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
            node.overlapped.done = node.event.get();
        }
    }
    context.bulkXferThread = nullptr;
    return 0;
}

int CamChannel::close(CamContext* context) {
    if (context == nullptr) {
        return -1;
    }
    ModLog& log = logOf(*context);
    for (const auto& [kind, count] : context->failureRecords.takeHeld()) {
        log._outModLog_(ModLog::kError, ModFault::baseName(__FILE__), __LINE__, kCloseName,
                        "%llu more not logged of %s", static_cast<unsigned long long>(count),
                        kind.c_str());
    }
    if (const std::shared_ptr<kx::UsbDevice> device = context->usbDevice()) {
        const uint8_t pipes[] = {context->bulkInPipe, context->bulkOutPipe,
                                 context->interruptInPipe, context->interruptOutPipe};
        // A board that left the bus (unplugged, or restarted by a new controller program) took
        // its pipes with it: there is nothing to reset, which is noted once and is no error.
        const auto failed = [&](int line) {
            const bool gone = kx::lastPlatformError() == ENODEV;
            log._outModLog_(gone ? ModLog::kInfo : ModLog::kError, ModFault::baseName(__FILE__),
                            line, kCloseName, "%08lx", lastError());
            return gone;
        };
        for (uint8_t pipe : pipes) {
            if (pipe == 0) {
                continue;
            }
            // Transfers still queued on the pipe end first: clearing a halt under queued
            // transfers is not safe on every platform.
            if (!device->abortPipe(pipe) && failed(__LINE__)) {
                break;
            }
            // A device that left the bus has no halt to clear.
            if (!context->deviceGone && !device->resetPipe(pipe) && failed(__LINE__)) {
                break;
            }
        }
    }
    context->controlEvent.reset();
    // Ends every read still queued before the ring's events go away.
    context->setUsbDevice(nullptr);
    context->stopEvent.reset();
    context->startedEvent.reset();
    context->userBreakEvent.reset();
    context->frameReadyEvent.reset();
    for (RingNode& node : context->ring) {
        node.overlapped.done = nullptr;
        node.event.reset();
    }
    return 0;
}

int CamChannel::control(CamContext* context, int directionIn, int request, int value, int index,
                        int length, void* data, int* transferred) {
    int ignored = 0;
    int& count = transferred != nullptr ? *transferred : ignored;
    count = 0;
    if (context == nullptr) {
        return -1;
    }
    {
        // Waits while an initialisation of the channel holds the lock.
        std::lock_guard<std::recursive_mutex> pass(context->controlLock);
    }
    const kx::ControlSetup setup{static_cast<uint8_t>(directionIn != 0 ? 0xC0 : 0x40),
                                 static_cast<uint8_t>(request), static_cast<uint16_t>(value),
                                 static_cast<uint16_t>(index), static_cast<uint16_t>(length)};
    bool ok = false;
    bool recorded = false;  // the failure was recorded when the device went
    uint32_t done = 0;
    if (setup.length > 0 && data == nullptr) {
        kx::setLastPlatformError(EINVAL);
    } else if (refuseGone(*context)) {
        recorded = true;
    } else if (const std::shared_ptr<kx::UsbDevice> device = context->usbDevice(); !device) {
        kx::setLastPlatformError(ENODEV);
    } else {
        ok = device->controlTransfer(setup, static_cast<uint8_t*>(data), done);
    }
    if (!ok) {
        if (!recorded) {
            transferFailed(*context, ModFault::baseName(__FILE__), __LINE__, kControlName,
                           kx::lastPlatformError());
        }
        context->channelState = CamContext::kStateFailed;
        return -1;
    }
    count = static_cast<int>(done);
    return 0;
}

int CamChannel::interruptFailure(CamContext& context) {
    const int error = kx::lastPlatformError();
    if (error == ENODEV) {
        context.deviceGone = true;
    } else if (const std::shared_ptr<kx::UsbDevice> device = context.usbDevice()) {
        device->abortPipe(context.bulkInPipe);
    }
    kx::setLastPlatformError(error);
    return -error;
}

int CamChannel::interruptWrite(CamContext& context) {
    if (refuseGone(context)) {
        return -ENODEV;
    }
    const uint8_t byte = kInterruptTrigger;
    uint32_t written = 0;
    const std::shared_ptr<kx::UsbDevice> device = context.usbDevice();
    if (!device) {
        kx::setLastPlatformError(ENODEV);
    } else if (device->writePipe(context.interruptOutPipe, &byte, 1, written)) {
        return static_cast<int>(written);
    }
    return interruptFailure(context);
}

int CamChannel::interruptRead(CamContext& context) {
    if (refuseGone(context)) {
        return -ENODEV;
    }
    uint8_t bytes[4] = {};
    uint32_t read = 0;
    const std::shared_ptr<kx::UsbDevice> device = context.usbDevice();
    if (!device) {
        kx::setLastPlatformError(ENODEV);
    } else if (device->readPipe(context.interruptInPipe, bytes, sizeof bytes, read)) {
        return static_cast<int>(static_cast<uint32_t>(bytes[0]) | bytes[1] << 8 | bytes[2] << 16 |
                                static_cast<uint32_t>(bytes[3]) << 24);
    }
    return interruptFailure(context);
}
