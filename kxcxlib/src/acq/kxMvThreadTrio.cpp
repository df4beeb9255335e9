#include "acq/kxMvThreadTrio.h"

#include "acq/kxBulkStream.h"
#include "acq/kxMvAcqThread.h"
#include "acq/kxMvCbThread.h"
#include "device/kxCamContext.h"

MvThreadTrio::MvThreadTrio(CamContext& context) : m_context(context) {}

MvThreadTrio::~MvThreadTrio() {
    stop();
}

void MvThreadTrio::closeAcquisitionEvents() {
    m_context.acqStartedEvent.reset();
    m_context.acqAbortEvent.reset();
    m_context.acqExitedEvent.reset();
}

void MvThreadTrio::closeCallbackEvents() {
    m_context.cbAbortEvent.reset();
    m_context.cbExitedEvent.reset();
}

int MvThreadTrio::startAcquisition(int32_t frameLimit) {
    if (m_acq) {
        return 0;
    }
    m_context.acqStartedEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
    m_context.acqAbortEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
    m_context.acqExitedEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
    if (BulkStream::start(m_context) != 0) {
        BulkStream::stop(m_context);
        closeAcquisitionEvents();
        return -4;
    }
    m_queue.clear();
    m_acq = std::make_unique<mvAcqThread>(m_context, m_queue, m_queued, frameLimit);
    m_context.acqThread = m_acq.get();
    if (!m_acq->start()) {
        m_acq.reset();
        m_context.acqThread = nullptr;
        BulkStream::stop(m_context);
        closeAcquisitionEvents();
        return -6;
    }
    m_acq->running = true;
    return 0;
}

void MvThreadTrio::stopAcquisition() {
    endAcquisitionThreads();
    // The callback thread may still wait on the acquisition-started event.
    if (!m_cb) {
        closeAcquisitionEvents();
    }
}

void MvThreadTrio::endAcquisitionThreads() {
    BulkStream::stop(m_context);
    if (!m_acq) {
        return;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(m_context.abortLock);
        m_context.acqAbortEvent->set();
    }
    // The thread waits on events with a bounded time-out, so it ends: waiting for it is safe.
    m_context.acqExitedEvent->wait(kExitWait);
    m_acq->join();
    m_acq.reset();
    m_context.acqThread = nullptr;
}

int MvThreadTrio::start() {
    if (m_cb) {
        return 0;
    }
    m_context.cbAbortEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
    m_context.cbExitedEvent = std::make_unique<kx::Event>(kx::Event::Reset::Manual);
    if (startAcquisition(0) != 0) {
        closeCallbackEvents();
        return -4;
    }
    m_cb = std::make_unique<mvCbThread>(m_context, m_queue, m_queued);
    m_context.cbThread = m_cb.get();
    if (!m_cb->start()) {
        m_cb.reset();
        m_context.cbThread = nullptr;
        stopAcquisition();
        closeCallbackEvents();
        return -5;
    }
    m_cb->running = true;
    return 0;
}

int MvThreadTrio::stop() {
    endAcquisitionThreads();
    if (!m_cb) {
        closeAcquisitionEvents();
        return 0;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(m_context.abortLock);
        m_context.cbAbortEvent->set();
    }
    m_context.cbExitedEvent->wait(kExitWait);
    m_cb->join();
    m_cb.reset();
    m_context.cbThread = nullptr;
    closeCallbackEvents();
    closeAcquisitionEvents();
    return 0;
}

bool MvThreadTrio::callbackRunning() const {
    return m_cb && !m_cb->finished;
}
