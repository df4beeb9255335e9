#include "kxRtCamDevice.h"

#include "kxCamChannel.h"

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
    CamContext& context = nextContext();
    context.reset(this);
    context.device = openDevicePath(interfaceGuid, memberIndex);
    if (!context.device) {
        return nullptr;
    }
    if (CamChannel::init(context) != 0) {
        return nullptr;
    }
    if (!setGeometry(context, width, height, frameBytes) ||
        !allocateFrameStore(context, kStoreExtra)) {
        closeChannel(&context);
        return nullptr;
    }
    ++m_openCount;
    return &context;
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
