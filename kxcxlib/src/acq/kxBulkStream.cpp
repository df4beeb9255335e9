#include "acq/kxBulkStream.h"

#include <cstring>
#include <mutex>

#include "acq/kxBulkXferThread.h"
#include "device/kxCamChannel.h"
#include "device/kxCamContext.h"
#include "log/kxCxModLog.h"
#include "log/kxModFault.h"

int BulkStream::start(CamContext& context) {
    if (context.bulkXferThread == nullptr) {
        context.bulkXferThread = new (std::nothrow) BulkXferThread(context);
    }
    BulkXferThread* thread = context.bulkXferThread;
    if (thread == nullptr || !context.stopEvent) {
        CamChannel::logOf(context)._outModLog_(ModLog::kError, ModFault::baseName(__FILE__),
                                               __LINE__, "CamDevice::startBulkXfer", "%08lx",
                                               static_cast<unsigned long>(ENOMEM));
        return -1;
    }
    if (thread->running && !thread->finished) {
        return 0;
    }
    thread->join();
    context.channelState = CamContext::kStateStarting;
    {
        std::lock_guard<std::recursive_mutex> lock(context.transferLock);
        for (RingNode& node : context.ring) {
            if (node.event) {
                node.event->reset();
            }
            node.next = nullptr;
            if (node.capacity != RingNode::kFrameBytes) {
                node.data.reset(new uint8_t[RingNode::kFrameBytes]);
                node.capacity = RingNode::kFrameBytes;
            }
            std::memset(node.data.get(), 0, RingNode::kFrameBytes);
        }
        context.pendingHead = context.pendingTail = nullptr;
        context.handedBack = nullptr;
        context.readyNode = nullptr;
        context.stopEvent->reset();
        context.startedEvent->reset();
        context.frameReadyEvent->reset();
        context.userBreakEvent->reset();
        context.goodFrames = context.replacedFrames = 0;
        context.shortTransfers = context.longTransfers = 0;
        thread->resetEvents();
        thread->finished = false;
        if (!thread->start()) {
            return -1;
        }
        thread->running = true;
    }
    return 0;
}

bool BulkStream::stop(CamContext& context) {
    BulkXferThread* thread = context.bulkXferThread;
    if (thread == nullptr) {
        return true;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(context.transferLock);
        if (context.stopEvent) {
            context.stopEvent->set();
        }
        thread->requestStop();
    }
    const auto device = context.usbDevice();
    bool ended = thread->waitExit(kStopWait) || thread->finished;
    if (!ended && device) {
        // The thread is stuck in a transfer: end the transfers under it and wait once more.
        device->abortPipe(context.bulkInPipe);
        ended = thread->waitExit(kStopWait) || thread->finished;
    }
    if (!ended) {
        CamChannel::logOf(context)._outModLog_(ModLog::kError, ModFault::baseName(__FILE__),
                                               __LINE__, "CamDevice::stopBulkXfer",
                                               "bulk transfer thread did not end");
        return false;
    }
    thread->join();
    thread->running = false;
    // Reads the thread left queued complete before the ring is used again.
    if (device) {
        device->abortPipe(context.bulkInPipe);
    }
    std::lock_guard<std::recursive_mutex> lock(context.transferLock);
    context.pendingHead = context.pendingTail = nullptr;
    context.handedBack = nullptr;
    context.readyNode = nullptr;
    delete thread;
    context.bulkXferThread = nullptr;
    return true;
}
