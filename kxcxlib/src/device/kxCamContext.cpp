#include "kxCamContext.h"

CamContext::CamContext() : CamContextHead{1, nullptr, 0, false} {}

CamContext::~CamContext() = default;

void CamContext::reset(CamDevice* newOwner) {
    kindTag = 1;
    owner = newOwner;
    device.reset();
    bulkInPipe = bulkOutPipe = interruptInPipe = interruptOutPipe = 0;
    controlEvent.reset();
    bulkXferThread = nullptr;
    acqThread = nullptr;
    cbThread = nullptr;
    stopEvent.reset();
    startedEvent.reset();
    userBreakEvent.reset();
    frameReadyEvent.reset();
    fifthEvent.reset();
    acqStartedEvent.reset();
    acqAbortEvent.reset();
    acqExitedEvent.reset();
    cbAbortEvent.reset();
    cbExitedEvent.reset();
    channelState = 0;
    stopEventDuplicate.reset();
    goodFrames = replacedFrames = shortTransfers = longTransfers = 0;
    pendingHead = pendingTail = handedBack = readyNode = nullptr;
    frameStore.reset();
    frameStoreBytes = 0;
    width = height = bytesPerPixel = frameBytes = 0;
    callback = nullptr;
    statusWord = 0;
    lastReadResult = 0;
    reservedA = reservedB = 0;
}
