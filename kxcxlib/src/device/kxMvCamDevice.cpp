#include "kxMvCamDevice.h"

#include "kxBoardControl.h"
#include "kxCamChannel.h"
#include "kxRegFileSender.h"

mvCamDevice::mvCamDevice() = default;

mvCamDevice::~mvCamDevice() = default;

CamContext* mvCamDevice::open(const kx::Guid& interfaceGuid, int memberIndex, int width, int height,
                              int frameBytes, const char* regFile, const char* traceFile) {
    RegFileSender sender;
    return open(interfaceGuid, memberIndex, width, height, frameBytes, regFile, traceFile, sender);
}

CamContext* mvCamDevice::open(const kx::Guid& interfaceGuid, int memberIndex, int width, int height,
                              int frameBytes, const char* regFile, const char* traceFile,
                              RegFileSender& sender) {
    if (!validGeometry(width, height, frameBytes)) {
        return nullptr;
    }
    CamContext* context = openChannel(interfaceGuid, memberIndex);
    if (context == nullptr) {
        return nullptr;
    }
    const char* file = regFile != nullptr ? regFile : kDefaultRegFile;
    if (sender.send(context, file, traceFile, nullptr) < 0) {
        closeChannel(context);
        return nullptr;
    }
    BoardControl::resetFifo(context);
    setGeometry(*context, width, height, frameBytes);
    if (!allocateFrameStore(*context, 0)) {
        closeChannel(context);
        return nullptr;
    }
    ++m_openCount;
    return context;
}

int mvCamDevice::closeContext(CamContext* context) {
    if (context == nullptr) {
        return -1;
    }
    context->acqStartedEvent.reset();
    context->acqAbortEvent.reset();
    context->acqExitedEvent.reset();
    context->cbAbortEvent.reset();
    context->cbExitedEvent.reset();
    return closeChannel(context);
}

int mvCamDevice::acquisitionState(CamContext* context) {
    uint8_t state[2] = {};
    int transferred = 0;
    if (CamChannel::control(context, 1, kRequestAcquisition, 0, 0, 2, state, &transferred) != 0) {
        return -1;
    }
    return state[0] | state[1] << 8;
}

void mvCamDevice::setAcquisitionMode(CamContext* context, int mode) {
    CamChannel::control(context, 0, kRequestAcquisition, mode, 0, 0, nullptr, nullptr);
}
