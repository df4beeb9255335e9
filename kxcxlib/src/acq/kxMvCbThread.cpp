#include "acq/kxMvCbThread.h"

#include <cerrno>
#include <exception>
#include <iostream>

#include "acq/kxFpgaLayout.h"
#include "acq/kxFrameQueue.h"
#include "device/kxCamContext.h"
#include "sync/kxEvent.h"

namespace {
constexpr int kButtonMask = 0x0F;
constexpr int kNoButtonChange = 0xFF;
}  // namespace

mvCbThread::mvCbThread(CamContext& context, FrameQueue& queue, kx::Event& queued)
    : m_context(context), m_queue(queue), m_queued(queued) {
    setThreadName("kx-callback");
}

mvCbThread::~mvCbThread() {
    join();
}

void mvCbThread::deliver(uint8_t* slot) {
    const CxFrameCallback callback = m_context.callback;
    if (callback == nullptr) {
        return;
    }
    const int buttons = FpgaLayout::read(&m_context, FpgaLayout::kRegStatus) & kButtonMask;
    if (m_context.deviceGone) {
        return;
    }
    int report = kNoButtonChange;
    if (buttons != m_lastNibble) {
        m_lastNibble = buttons;
        report = buttons;
    }
    m_context.status().store(report);
    callback(slot, m_context.frameBytes, &m_context);
}

void mvCbThread::svcThread() {
    try {
        kx::Event& abort = *m_context.cbAbortEvent;
        // The acquisition thread wakes this one through the queue when the board left first.
        const int started =
            kx::Event::waitAny({m_context.acqStartedEvent.get(), &abort, &m_queued}, kStartWait);
        if (started == 0 || started == 2) {
            while (!abort.isSet()) {
                if (m_context.deviceGone) {
                    m_context.status().store(ENODEV);
                    break;
                }
                if (uint8_t* slot = m_queue.pop()) {
                    deliver(slot);
                    continue;
                }
                if (kx::Event::waitAny({&m_queued, &abort}, kx::Event::kInfinite) == 1) {
                    break;
                }
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "exception caught: " << error.what() << std::endl;
    }
    running = false;
    m_context.cbExitedEvent->set();
    finished = true;
}
