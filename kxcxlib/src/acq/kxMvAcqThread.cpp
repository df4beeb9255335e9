#include "acq/kxMvAcqThread.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iostream>
#include <mutex>

#include "acq/kxFrameQueue.h"
#include "device/kxCamContext.h"
#include "device/kxCamDevice.h"
#include "sync/kxEvent.h"

mvAcqThread::mvAcqThread(CamContext& context, FrameQueue& queue, kx::Event& queued,
                         int32_t frameLimit)
    : m_context(context), m_queue(queue), m_queued(queued), m_frameLimit(frameLimit) {
    setThreadName("kx-acq");
}

mvAcqThread::~mvAcqThread() {
    join();
}

bool mvAcqThread::takeReadyFrame() {
    std::lock_guard<std::recursive_mutex> lock(m_context.transferLock);
    RingNode* node = m_context.readyNode;
    m_context.readyNode = nullptr;
    m_context.frameReadyEvent->reset();
    if (node == nullptr) {
        return false;
    }
    const std::size_t bytes = static_cast<std::size_t>(m_context.frameBytes);
    uint8_t* slot = m_context.frameStore.get() +
                    static_cast<std::size_t>(m_frames % CamDevice::kFrameSlots) * bytes;
    std::memcpy(slot, node->data.get(), std::min<std::size_t>(bytes, RingNode::kFrameBytes));
    node->next = m_context.handedBack;
    m_context.handedBack = node;
    if (m_queue.push(slot)) {
        m_queued.set();
    }
    ++m_frames;
    return true;
}

void mvAcqThread::svcThread() {
    try {
        kx::Event& ready = *m_context.frameReadyEvent;
        kx::Event& abort = *m_context.acqAbortEvent;
        if (kx::Event::waitAny({&ready, &abort}, kFrameWait) == 0 && !m_context.deviceGone) {
            m_context.acqStartedEvent->set();
            while (!abort.isSet()) {
                if (kx::Event::waitAny({&ready, &abort}, kFrameWait) != 0 || m_context.deviceGone) {
                    break;
                }
                if (takeReadyFrame() && m_frameLimit > 0 && m_frames >= m_frameLimit) {
                    break;
                }
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "exception caught: " << error.what() << std::endl;
    }
    if (m_context.deviceGone) {
        m_queued.set();  // the callback thread ends too
    }
    running = false;
    m_context.acqExitedEvent->set();
    finished = true;
}
