#include "acq/kxBulkXferThread.h"

#include <cerrno>

#include "device/kxCamChannel.h"
#include "device/kxCamContext.h"
#include "log/kxCxLogger.h"
#include "log/kxModFault.h"
#include "usb/kxPlatformError.h"

namespace {

constexpr const char* kThreadName = "BulkXferThread::svcThread";
constexpr int kRequestRecover = 0x19;
constexpr int kRecoverIndex = 0x7D;

}  // namespace

BulkXferThread::BulkXferThread(CamContext& context) : m_context(context) {
    setThreadName("kx-bulk");
}

BulkXferThread::~BulkXferThread() {
    requestStop();
    join();
}

void BulkXferThread::resetEvents() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopRequest.reset();
    m_exitAck.reset();
    m_third.reset();
}

void BulkXferThread::requestStop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopRequest.set();
}

bool BulkXferThread::waitExit(std::chrono::milliseconds timeout) {
    return m_exitAck.wait(timeout);
}

void BulkXferThread::appendPending(RingNode& node) {
    node.next = nullptr;
    if (m_context.pendingTail != nullptr) {
        m_context.pendingTail->next = &node;
    } else {
        m_context.pendingHead = &node;
    }
    m_context.pendingTail = &node;
}

RingNode* BulkXferThread::popPending() {
    RingNode* node = m_context.pendingHead;
    if (node != nullptr) {
        m_context.pendingHead = node->next;
        if (m_context.pendingHead == nullptr) {
            m_context.pendingTail = nullptr;
        }
        node->next = nullptr;
    }
    return node;
}

bool BulkXferThread::queueRead(RingNode& node, int line) {
    const auto device = m_context.usbDevice();
    node.event->reset();
    node.overlapped.pipeId = m_context.bulkInPipe;
    node.overlapped.data = node.data.get();
    node.overlapped.length = static_cast<uint32_t>(node.capacity);
    node.overlapped.done = node.event.get();
    if (CamChannel::refuseGone(m_context)) {
        return false;
    }
    if (!device || !device->submitRead(node.overlapped)) {
        CamChannel::transferFailed(m_context, ModFault::baseName(__FILE__), line, kThreadName,
                                   device ? kx::lastPlatformError() : ENODEV);
        return false;
    }
    appendPending(node);
    return true;
}

RingNode* BulkXferThread::classify(RingNode& node) {
    std::lock_guard<std::recursive_mutex> lock(m_context.transferLock);
    const uint32_t bytes = node.overlapped.transferred;
    if (bytes < static_cast<uint32_t>(RingNode::kFrameBytes)) {
        ++m_context.shortTransfers;
        return &node;
    }
    if (bytes > static_cast<uint32_t>(RingNode::kFrameBytes)) {
        ++m_context.longTransfers;
        return &node;
    }
    ++m_context.goodFrames;
    RingNode* recycled = nullptr;
    if (m_context.readyNode != nullptr) {
        ++m_context.replacedFrames;
        recycled = m_context.readyNode;
    }
    m_context.readyNode = &node;
    m_context.frameReadyEvent->set();
    return recycled;
}

void BulkXferThread::recover() {
    uint8_t bytes[2] = {0x00, 0x01};
    CamChannel::control(&m_context, 0, kRequestRecover, 0, kRecoverIndex, 2, bytes, nullptr);
    m_context.channelState = CamContext::kStateFailed;
}

void BulkXferThread::svcThread() {
    m_context.stopEvent->reset();
    m_context.userBreakEvent->reset();
    bool ok = true;
    const auto device = m_context.usbDevice();
    for (RingNode& node : m_context.ring) {
        if (device) {
            device->resetPipe(m_context.bulkInPipe);
        }
        if (!queueRead(node, __LINE__)) {
            ok = false;
            break;
        }
    }
    bool first = true;
    while (ok) {
        // The stop signals are polled here; the wait below is what blocks.
        if (m_context.stopEvent->isSet()) {
            break;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopRequest.isSet()) {
                break;
            }
        }
        if (first) {
            m_context.startedEvent->set();
            first = false;
        }
        RingNode* head = m_context.pendingHead;
        if (head == nullptr) {
            break;
        }
        const int which =
            kx::Event::waitAny({m_context.stopEvent.get(), m_context.userBreakEvent.get(),
                                head->event.get(), &m_stopRequest},
                               kx::Event::kInfinite);
        if (which == 0 || which == 3) {
            CxLogger::instance().log(4, "catch usb-brk");
            break;
        }
        if (which == 1) {
            CxLogger::instance().log(4, "catch usr-brk");
            while (RingNode* node = m_context.pendingHead) {
                if (kx::Event::waitAny({node->event.get(), m_context.stopEvent.get()},
                                       kx::Event::kInfinite) == 1) {
                    break;
                }
                popPending();
            }
            CxLogger::instance().log(4, "lea-blk_thd");
            break;
        }
        popPending();
        if (!head->overlapped.ok) {
            const int error = head->overlapped.error;
            if (error == ETIMEDOUT) {
                // No frame within the pipe's time-out: the board streams slower than that. The
                // read is queued again rather than ending the stream.
                CxLogger::instance().log(4, "tmo");
                ok = queueRead(*head, __LINE__);
                continue;
            }
            if (error == ECANCELED) {
                break;
            }
            CamChannel::transferFailed(m_context, ModFault::baseName(__FILE__), __LINE__,
                                       kThreadName, error);
            if (error != ENODEV) {
                recover();
            }
            break;
        }
        RingNode* again = classify(*head);
        std::lock_guard<std::recursive_mutex> lock(m_context.transferLock);
        if (again != nullptr) {
            ok = queueRead(*again, __LINE__);
        }
        while (ok && m_context.handedBack != nullptr) {
            RingNode* back = m_context.handedBack;
            m_context.handedBack = back->next;
            ok = queueRead(*back, __LINE__);
        }
        if (!ok) {
            m_context.channelState = CamContext::kStateFailed;
        }
    }
    if (m_context.deviceGone) {
        // No frame comes any more: the acquisition thread wakes to see that the board left.
        CxLogger::instance().log(8, "Device Removed, Bulk Transfer Thread Stopped...\n");
        m_context.channelState = CamContext::kStateFailed;
        m_context.frameReadyEvent->set();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_exitAck.set();
    }
    finished = true;
}
