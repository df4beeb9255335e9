#include "kxRtCamDevice.h"

rtCamDevice::rtCamDevice() {
    for (CamContext& context : m_contexts) {
        context.width = kDefaultWidth;
        context.height = kDefaultHeight;
        context.bytesPerPixel = 1;
        context.frameBytes = kDefaultFrameBytes;
    }
}

rtCamDevice::~rtCamDevice() = default;

CamContext* rtCamDevice::open(const kx::Guid& interfaceGuid, int memberIndex, int width, int height,
                              int frameBytes) {
    if (!validGeometry(width, height, frameBytes)) {
        return nullptr;
    }
    CamContext* context = openChannel(interfaceGuid, memberIndex);
    if (context == nullptr) {
        return nullptr;
    }
    setGeometry(*context, width, height, frameBytes);
    if (!allocateFrameStore(*context, kStoreExtra)) {
        closeChannel(context);
        return nullptr;
    }
    ++m_openCount;
    return context;
}

int rtCamDevice::closeContext(CamContext* context) {
    if (context == nullptr) {
        return -1;
    }
    context->frameStore.reset();
    context->frameStoreBytes = 0;
    context->acqStartedEvent.reset();
    context->acqAbortEvent.reset();
    context->acqExitedEvent.reset();
    context->cbAbortEvent.reset();
    context->cbExitedEvent.reset();
    --m_openCount;
    return closeChannel(context);
}

int rtCamDevice::acquisitionState(CamContext*) {
    return 0;
}

void rtCamDevice::setAcquisitionMode(CamContext*, int) {}
