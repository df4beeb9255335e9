#include "EndpointWorker.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace usbmock {

namespace {

using Clock = std::chrono::steady_clock;

// The status of a URB the board ended with result (bytes, or a negative errno).
int statusOf(int result) {
    if (result >= 0) {
        return 0;
    }
    return result == -EPIPE || result == -ENODEV ? result : -EPROTO;
}

}  // namespace

EndpointWorker::EndpointWorker(std::shared_ptr<boardsim::CameraBoard> board, uint64_t attachment,
                               uint8_t endpoint, const BoardDescriptors& descriptors)
    : m_board(std::move(board)),
      m_attachment(attachment),
      m_endpoint(endpoint),
      m_descriptors(descriptors),
      m_thread(&EndpointWorker::run, this) {}

EndpointWorker::~EndpointWorker() {
    stop();
}

void EndpointWorker::submit(std::shared_ptr<Urb> urb) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_stopping) {
            m_queue.push_back(std::move(urb));
            m_changed.notify_all();
            return;
        }
    }
    urb->finish(-ENODEV, 0);
}

bool EndpointWorker::discard(const std::shared_ptr<Urb>& urb) {
    std::unique_lock lock(m_mutex);
    const auto queued = std::find(m_queue.begin(), m_queue.end(), urb);
    if (queued != m_queue.end()) {
        m_queue.erase(queued);
        lock.unlock();
        urb->discard();
        urb->finish(-ENOENT, 0);
        return true;
    }
    if (m_running != urb) {
        return false;
    }
    urb->discard();
    m_changed.notify_all();
    lock.unlock();
    if (m_endpoint != 0) {
        m_board->cancelData(m_endpoint);
    }
    return true;
}

void EndpointWorker::stop() {
    std::deque<std::shared_ptr<Urb>> left;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            return;
        }
        m_stopping = true;
        left.swap(m_queue);
        m_changed.notify_all();
    }
    for (const auto& urb : left) {
        urb->finish(-ENODEV, 0);
    }
    if (m_endpoint != 0) {
        m_board->cancelData(m_endpoint);
    }
    m_thread.join();
}

void EndpointWorker::run() {
    for (;;) {
        std::shared_ptr<Urb> urb;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty()) {
                return;
            }
            urb = m_queue.front();
            m_queue.pop_front();
            m_running = urb;
        }
        if (m_endpoint == 0) {
            runControl(*urb);
        } else {
            runData(*urb);
        }
        std::lock_guard lock(m_mutex);
        m_running.reset();
    }
}

bool EndpointWorker::present() {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            return false;
        }
    }
    return m_board->plugged() && m_board->attachment() == m_attachment;
}

void EndpointWorker::runControl(Urb& urb) {
    const boardsim::SetupPacket setup = urb.setup();
    if (m_descriptors.answers(setup)) {
        const auto reply = m_descriptors.answer(setup);
        if (!reply) {
            urb.finish(-EPIPE, 0);
            return;
        }
        std::memcpy(urb.data(), reply->data(), std::min<std::size_t>(reply->size(), urb.length()));
        urb.finish(0, static_cast<int>(reply->size()));
        return;
    }
    if (!present()) {
        urb.finish(-ENODEV, 0);
        return;
    }
    const int result = m_board->handleControl(setup, urb.data());
    if (result == -ETIMEDOUT) {
        waitOutNak(urb);
        return;
    }
    urb.finish(statusOf(result), result);
}

void EndpointWorker::runData(Urb& urb) {
    const bool limited = urb.nakLimit().count() > 0;
    const Clock::time_point deadline = Clock::now() + urb.nakLimit();
    for (;;) {
        if (urb.discarded()) {
            urb.finish(-ENOENT, 0);
            return;
        }
        if (!present()) {
            urb.finish(-ENODEV, 0);
            return;
        }
        auto slice = kSlice;
        if (limited) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                urb.finish(-ETIMEDOUT, 0);
                return;
            }
            slice = std::min(slice, left);
        }
        const int result = m_board->handleData(m_endpoint, urb.data(), urb.length(), slice);
        if (result == -ETIMEDOUT || result == -ECANCELED) {
            continue;  // still NAKed, or cancelled: the checks above decide
        }
        urb.finish(statusOf(result), result);
        return;
    }
}

void EndpointWorker::waitOutNak(Urb& urb) {
    const bool limited = urb.nakLimit().count() > 0;
    const Clock::time_point deadline = Clock::now() + urb.nakLimit();
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (urb.discarded()) {
            lock.unlock();
            urb.finish(-ENOENT, 0);
            return;
        }
        if (m_stopping) {
            lock.unlock();
            urb.finish(-ENODEV, 0);
            return;
        }
        if (limited && Clock::now() >= deadline) {
            lock.unlock();
            urb.finish(-ETIMEDOUT, 0);
            return;
        }
        // The board leaving does not wake this wait: look again now and then.
        if (!m_board->plugged() || m_board->attachment() != m_attachment) {
            lock.unlock();
            urb.finish(-ENODEV, 0);
            return;
        }
        const Clock::time_point next = Clock::now() + kSlice;
        m_changed.wait_until(lock, limited ? std::min(next, deadline) : next);
    }
}

}  // namespace usbmock
