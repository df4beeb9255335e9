#include "usb/sim/kxSimDevice.h"

#include <cerrno>
#include <chrono>
#include <vector>

#include "board/CameraBoard.h"
#include "sync/kxEvent.h"
#include "usb/kxPlatformError.h"
#include "usb/sim/kxSimTransferLog.h"

namespace kx {

namespace {

bool fail(int negativeErrno) {
    setLastPlatformError(-negativeErrno);
    return false;
}

// Control transfers keep their data stage in the log; reads keep none.
constexpr std::size_t kLoggedDataBytes = 64;

}  // namespace

SimDevice::SimDevice(std::shared_ptr<boardsim::CameraBoard> board, SimTransferLog& log)
    : m_board(std::move(board)), m_log(log), m_attachment(m_board->attachment()) {}

bool SimDevice::gone() const {
    return !m_board->plugged() || m_board->attachment() != m_attachment;
}

SimDevice::~SimDevice() {
    std::vector<AsyncRead*> cancelled;
    {
        std::unique_lock<std::mutex> lock(m_queueMutex);
        m_stopping = true;
        cancelled.assign(m_queue.begin(), m_queue.end());
        m_queue.clear();
        m_currentCancelled = true;
    }
    m_queueChanged.notify_all();
    for (AsyncRead* read : cancelled) {
        complete(*read, -ECANCELED);
    }
    if (m_worker.joinable()) {
        // The worker may be blocked in a read of the board: wake it until it has ended.
        std::unique_lock<std::mutex> lock(m_queueMutex);
        while (m_current != nullptr) {
            const uint8_t pipe = m_current->pipeId;
            lock.unlock();
            m_board->cancelData(pipe);
            lock.lock();
            m_queueChanged.wait_for(lock, std::chrono::milliseconds(5));
        }
        lock.unlock();
        m_worker.join();
    }
}

bool SimDevice::hasPipe(uint8_t pipeId) const {
    for (const auto& endpoint : m_board->endpoints()) {
        if (endpoint.address == pipeId) {
            return true;
        }
    }
    return false;
}

bool SimDevice::querySpeed(uint8_t& speed) {
    if (gone()) {
        return fail(-ENODEV);
    }
    speed = 3;  // high speed
    return true;
}

bool SimDevice::queryInterfaceSettings(uint8_t alternate, InterfaceInfo& info) {
    if (gone()) {
        return fail(-ENODEV);
    }
    if (alternate != 0) {
        return fail(-EINVAL);
    }
    info = InterfaceInfo{0, 0, static_cast<uint8_t>(m_board->endpoints().size()), 0xFF};
    return true;
}

bool SimDevice::queryPipe(uint8_t alternate, uint8_t index, PipeInfo& info) {
    if (gone()) {
        return fail(-ENODEV);
    }
    const auto endpoints = m_board->endpoints();
    if (alternate != 0 || index >= endpoints.size()) {
        return fail(-EINVAL);
    }
    const auto& endpoint = endpoints[index];
    info =
        PipeInfo{static_cast<PipeType>(endpoint.type), endpoint.address, endpoint.maxPacketSize, 0};
    return true;
}

bool SimDevice::setPipePolicy(uint8_t pipeId, PipePolicy policy, uint32_t value) {
    SimTransfer record{SimTransfer::Kind::SetPolicy};
    record.pipeId = pipeId;
    record.length = value;
    record.result = static_cast<int>(policy);
    m_log.add(record);
    if (!hasPipe(pipeId)) {
        return fail(-EINVAL);
    }
    std::lock_guard<std::mutex> lock(m_pipeMutex);
    PipeState& state = m_pipes[pipeId];
    if (policy == PipePolicy::AutoClearStall) {
        state.autoClearStall = value != 0;
    } else {
        state.timeoutMs = value;
    }
    return true;
}

bool SimDevice::resetPipe(uint8_t pipeId) {
    const int result = gone() ? -ENODEV : m_board->clearHalt(pipeId);
    SimTransfer record{SimTransfer::Kind::ResetPipe};
    record.pipeId = pipeId;
    record.result = result;
    m_log.add(record);
    return result == 0 || fail(result);
}

bool SimDevice::abortPipe(uint8_t pipeId) {
    SimTransfer record{SimTransfer::Kind::AbortPipe};
    record.pipeId = pipeId;
    m_log.add(record);
    if (!hasPipe(pipeId)) {
        return fail(-EINVAL);
    }
    std::vector<AsyncRead*> cancelled;
    {
        std::unique_lock<std::mutex> lock(m_queueMutex);
        for (auto it = m_queue.begin(); it != m_queue.end();) {
            if ((*it)->pipeId == pipeId) {
                cancelled.push_back(*it);
                it = m_queue.erase(it);
            } else {
                ++it;
            }
        }
        if (m_current != nullptr && m_current->pipeId == pipeId) {
            m_currentCancelled = true;
        }
    }
    for (AsyncRead* read : cancelled) {
        complete(*read, -ECANCELED);
    }
    // Wake every transfer blocked on the pipe, the worker's and synchronous ones, until the
    // worker no longer runs one of this pipe. The board cancels every reader of its endpoint, so
    // a second handle on the same board would see its read cancelled too; the library opens one
    // handle per board.
    std::unique_lock<std::mutex> lock(m_queueMutex);
    do {
        lock.unlock();
        m_board->cancelData(pipeId);
        lock.lock();
    } while (m_current != nullptr && m_current->pipeId == pipeId &&
             !m_queueChanged.wait_for(lock, std::chrono::milliseconds(5), [&] {
                 return m_current == nullptr || m_current->pipeId != pipeId;
             }));
    return true;
}

bool SimDevice::controlTransfer(const ControlSetup& setup, uint8_t* data, uint32_t& transferred) {
    transferred = 0;
    const boardsim::SetupPacket packet{setup.requestType, setup.request, setup.value, setup.index,
                                       setup.length};
    std::vector<uint8_t> scratch;
    if (data == nullptr && setup.length > 0) {
        scratch.resize(setup.length);
        data = scratch.data();
    }
    const int result = gone() ? -ENODEV : m_board->handleControl(packet, data);
    SimTransfer record{SimTransfer::Kind::Control};
    record.setup = setup;
    record.length = setup.length;
    record.result = result;
    const bool in = (setup.requestType & 0x80) != 0;
    const std::size_t shown = in ? (result > 0 ? static_cast<std::size_t>(result) : 0)
                                 : static_cast<std::size_t>(setup.length);
    record.data.assign(data, data + std::min(shown, kLoggedDataBytes));
    m_log.add(std::move(record));
    if (result < 0) {
        return fail(result);
    }
    transferred = static_cast<uint32_t>(result);
    return true;
}

int SimDevice::transfer(uint8_t pipeId, uint8_t* data, uint32_t length) {
    PipeState state;
    {
        std::lock_guard<std::mutex> lock(m_pipeMutex);
        state = m_pipes[pipeId];
    }
    if (gone()) {
        return -ENODEV;
    }
    const int result =
        m_board->handleData(pipeId, data, length, std::chrono::milliseconds(state.timeoutMs));
    if (result == -EPIPE && state.autoClearStall) {
        m_board->clearHalt(pipeId);
    }
    return result;
}

bool SimDevice::syncTransfer(SimTransfer::Kind kind, uint8_t pipeId, uint8_t* data, uint32_t length,
                             uint32_t& transferred) {
    transferred = 0;
    const bool in = kind == SimTransfer::Kind::Read;
    if (((pipeId & 0x80) != 0) != in) {
        return fail(-EINVAL);
    }
    SimTransfer record{kind};
    record.pipeId = pipeId;
    record.length = length;
    if (!in) {
        record.data.assign(data, data + std::min<std::size_t>(length, kLoggedDataBytes));
    }
    const int result = transfer(pipeId, data, length);
    record.result = result;
    m_log.add(std::move(record));
    if (result < 0) {
        return fail(result);
    }
    transferred = static_cast<uint32_t>(result);
    return true;
}

bool SimDevice::readPipe(uint8_t pipeId, uint8_t* data, uint32_t length, uint32_t& transferred) {
    return syncTransfer(SimTransfer::Kind::Read, pipeId, data, length, transferred);
}

bool SimDevice::writePipe(uint8_t pipeId, const uint8_t* data, uint32_t length,
                          uint32_t& transferred) {
    // The board only reads what the host writes.
    return syncTransfer(SimTransfer::Kind::Write, pipeId, const_cast<uint8_t*>(data), length,
                        transferred);
}

bool SimDevice::submitRead(AsyncRead& read) {
    if ((read.pipeId & 0x80) == 0 || !hasPipe(read.pipeId)) {
        return fail(-EINVAL);
    }
    if (gone()) {
        return fail(-ENODEV);
    }
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        if (m_stopping) {
            return fail(-ECANCELED);
        }
        read.ok = false;
        read.error = 0;
        read.transferred = 0;
        m_queue.push_back(&read);
        if (!m_worker.joinable()) {
            m_worker = std::thread(&SimDevice::asyncLoop, this);
        }
    }
    m_queueChanged.notify_all();
    return true;
}

void SimDevice::complete(AsyncRead& read, int result) {
    read.ok = result >= 0;
    read.error = result < 0 ? -result : 0;
    read.transferred = result > 0 ? static_cast<uint32_t>(result) : 0;
    if (read.done != nullptr) {
        read.done->set();
    }
}

void SimDevice::asyncLoop() {
    std::unique_lock<std::mutex> lock(m_queueMutex);
    while (true) {
        m_queueChanged.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping) {
            return;
        }
        AsyncRead* read = m_queue.front();
        m_queue.pop_front();
        m_current = read;
        m_currentCancelled = false;
        lock.unlock();
        const int result = transfer(read->pipeId, read->data, read->length);
        SimTransfer record{SimTransfer::Kind::AsyncRead};
        record.pipeId = read->pipeId;
        record.length = read->length;
        lock.lock();
        const int final = m_currentCancelled ? -ECANCELED : result;
        record.result = final;
        m_current = nullptr;
        lock.unlock();
        m_log.add(std::move(record));
        complete(*read, final);
        m_queueChanged.notify_all();
        lock.lock();
    }
}

}  // namespace kx
