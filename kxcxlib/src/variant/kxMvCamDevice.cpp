#include "variant/kxMvCamDevice.h"

#include <cstring>
#include <thread>

#include "device/kxCamChannel.h"
#include "regs/kxBoardControl.h"
#include "regs/kxRegFileSender.h"

mvCamDevice::mvCamDevice() {
    for (std::size_t i = 0; i < m_trios.size(); ++i) {
        m_trios[i] = std::make_unique<MvThreadTrio>(m_contexts[i]);
    }
}

mvCamDevice::~mvCamDevice() {
    // The threads go before the channels they read.
    for (auto& trio : m_trios) {
        trio.reset();
    }
}

MvThreadTrio& mvCamDevice::trio(CamContext* context) {
    return *m_trios[context == &m_contexts[0] ? 0 : 1];
}

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
    return completeOpen(context, width, height, frameBytes, 0);
}

int mvCamDevice::closeContext(CamContext* context) {
    if (context == nullptr) {
        return -1;
    }
    // Threads that still run are stopped and joined, never destroyed under themselves.
    trio(context).stop();
    releaseStreaming(*context);
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

int mvCamDevice::streamControl(CamContext* context, CxFrameCallback callback, int) {
    if (context == nullptr) {
        return 0;
    }
    context->callback = callback;
    if (callback != nullptr) {
        if (trio(context).start() != 0) {
            return -1;
        }
        setAcquisitionMode(context, kModeStart);
        std::this_thread::sleep_for(m_pauses.streamSettle);
    } else {
        setAcquisitionMode(context, kModeStop);
        trio(context).stop();
    }
    const int state = acquisitionState(context);
    return state < 0 ? 255 : state;
}

CxFrameCallback mvCamDevice::currentCallback(CamContext* context) {
    if (context == nullptr || !trio(context).callbackRunning()) {
        return nullptr;
    }
    return CamDevice::currentCallback(context);
}

int mvCamDevice::captureOneFrame(CamContext* context, void* dest) {
    if (context->acqThread != nullptr) {
        return -2;
    }
    MvThreadTrio& engine = trio(context);
    setAcquisitionMode(context, kModeStart);
    std::this_thread::sleep_for(m_pauses.beforeAcquisition);
    engine.startAcquisition(1);
    std::this_thread::sleep_for(m_pauses.acquisition);
    engine.stopAcquisition();
    std::this_thread::sleep_for(m_pauses.afterAcquisition);
    setAcquisitionMode(context, kModeStop);
    std::memcpy(dest, context->frameStore.get(), static_cast<std::size_t>(context->frameBytes));
    return 0;
}
