#include "usb/libusb/kxPipeTable.h"

#include <algorithm>

namespace kx {

PipeTable::PipeTable(std::vector<PipeInfo> pipes) {
    m_pipes.reserve(pipes.size());
    for (const PipeInfo& info : pipes) {
        m_pipes.push_back(Pipe{info});
    }
}

PipeTable::Pipe* PipeTable::pipe(uint8_t pipeId) {
    const auto found = std::find_if(m_pipes.begin(), m_pipes.end(),
                                    [&](const Pipe& pipe) { return pipe.info.pipeId == pipeId; });
    return found != m_pipes.end() ? &*found : nullptr;
}

const PipeTable::Pipe* PipeTable::pipe(uint8_t pipeId) const {
    return const_cast<PipeTable*>(this)->pipe(pipeId);
}

const PipeInfo* PipeTable::find(uint8_t pipeId) const {
    const Pipe* found = pipe(pipeId);
    return found != nullptr ? &found->info : nullptr;
}

bool PipeTable::setPolicy(uint8_t pipeId, PipePolicy policy, uint32_t value) {
    Pipe* found = pipe(pipeId);
    if (found == nullptr) {
        return false;
    }
    switch (policy) {
        case PipePolicy::AutoClearStall:
            found->autoClearStall = value != 0;
            if (!found->autoClearStall) {
                found->clearPending = false;
            }
            return true;
        case PipePolicy::TransferTimeout:
            found->timeoutMs = value;
            return true;
    }
    return false;
}

uint32_t PipeTable::timeoutMs(uint8_t pipeId) const {
    const Pipe* found = pipe(pipeId);
    return found != nullptr ? found->timeoutMs : 0;
}

void PipeTable::noteStall(uint8_t pipeId) {
    Pipe* found = pipe(pipeId);
    if (found != nullptr && found->autoClearStall) {
        found->clearPending = true;
    }
}

bool PipeTable::takePendingClear(uint8_t pipeId) {
    Pipe* found = pipe(pipeId);
    if (found == nullptr || !found->clearPending) {
        return false;
    }
    found->clearPending = false;
    return true;
}

void PipeTable::noteCleared(uint8_t pipeId) {
    Pipe* found = pipe(pipeId);
    if (found != nullptr) {
        found->clearPending = false;
    }
}

}  // namespace kx
