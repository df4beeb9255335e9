#include "device/kxCamContext.h"

CamContext::CamContext() : CamContextHead{1, nullptr, 0, false} {}

CamContext::~CamContext() {
    // Reads still queued complete (and set their ring node's event) as the device closes, so the
    // device goes before the ring.
    setUsbDevice(nullptr);
}

std::shared_ptr<kx::UsbDevice> CamContext::usbDevice() const {
    std::lock_guard<std::mutex> lock(m_deviceMutex);
    return m_device;
}

void CamContext::setUsbDevice(std::shared_ptr<kx::UsbDevice> opened) {
    std::shared_ptr<kx::UsbDevice> previous;
    {
        std::lock_guard<std::mutex> lock(m_deviceMutex);
        previous = std::move(m_device);
        m_device = std::move(opened);
    }
    // The last reference (this one, unless a transfer still runs) closes the device here,
    // outside the lock.
    previous.reset();
}

void CamContext::reset(CamDevice* newOwner) {
    kindTag = 1;
    owner = newOwner;
    setUsbDevice(nullptr);
    bulkInPipe = bulkOutPipe = interruptInPipe = interruptOutPipe = 0;
    controlEvent.reset();
    bulkXferThread = nullptr;
    acqThread = nullptr;
    cbThread = nullptr;
    stopEvent.reset();
    startedEvent.reset();
    userBreakEvent.reset();
    frameReadyEvent.reset();
    acqStartedEvent.reset();
    acqAbortEvent.reset();
    acqExitedEvent.reset();
    cbAbortEvent.reset();
    cbExitedEvent.reset();
    channelState = 0;
    deviceGone = false;
    failureRecords.clear();
    goodFrames = replacedFrames = shortTransfers = longTransfers = 0;
    pendingHead = pendingTail = handedBack = readyNode = nullptr;
    frameStore.reset();
    frameStoreBytes = 0;
    width = height = bytesPerPixel = frameBytes = 0;
    callback = nullptr;
    statusWord = 0;
    lastReadResult = 0;
}
