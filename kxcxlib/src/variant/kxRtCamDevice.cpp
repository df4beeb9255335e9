#include "variant/kxRtCamDevice.h"

#include "acq/kxFpgaLayout.h"

rtCamDevice::rtCamDevice()
    : m_timer(std::make_unique<rtTimerThread>(*this, m_contexts[0], m_contexts[1])) {
    for (CamContext& context : m_contexts) {
        context.width = kDefaultWidth;
        context.height = kDefaultHeight;
        context.bytesPerPixel = 1;
        context.frameBytes = kDefaultFrameBytes;
    }
}

rtCamDevice::~rtCamDevice() {
    if (m_timer->running()) {
        m_timer->stopTimer();
    }
    m_timer.reset();
}

CamContext* rtCamDevice::open(const kx::Guid& interfaceGuid, int memberIndex, int width, int height,
                              int frameBytes) {
    if (!validGeometry(width, height, frameBytes)) {
        return nullptr;
    }
    CamContext* context = openChannel(interfaceGuid, memberIndex);
    if (context == nullptr) {
        return nullptr;
    }
    return completeOpen(context, width, height, frameBytes, kStoreExtra);
}

int rtCamDevice::closeContext(CamContext* context) {
    if (context == nullptr) {
        return -1;
    }
    // The ticks write into the frame store: they end before it goes (a stream that ended itself
    // may still be leaving its last tick).
    m_timer->stopTimer();
    releaseStreaming(*context);
    context->frameStore.reset();
    context->frameStoreBytes = 0;
    --m_openCount;
    return closeChannel(context);
}

int rtCamDevice::acquisitionState(CamContext*) {
    return 0;
}

void rtCamDevice::setAcquisitionMode(CamContext*, int) {}

int rtCamDevice::streamControl(CamContext* context, CxFrameCallback callback, int) {
    if (context == nullptr) {
        return 0;
    }
    context->callback = callback;
    if (callback != nullptr) {
        FpgaLayout::write(context, FpgaLayout::kRegStreamReset, 0);
        m_timer->startTimer();
    } else {
        m_timer->stopTimer();
    }
    return 0;
}

CxFrameCallback rtCamDevice::currentCallback(CamContext* context) {
    return m_timer->running() ? CamDevice::currentCallback(context) : nullptr;
}
