// The pipes of an opened device's interface with what the caller set for each: the transfer
// time-out and whether a stall is cleared before the next transfer. Holds no lock: the device
// guards its table with its own mutex.
#pragma once

#include <cstdint>
#include <vector>

#include "usb/kxUsbBackend.h"

namespace kx {

class PipeTable {
public:
    // The endpoints of the setting in use, as its descriptor lists them.
    explicit PipeTable(std::vector<PipeInfo> pipes);

    // The descriptor of a pipe; null when the setting has no endpoint of that id.
    const PipeInfo* find(uint8_t pipeId) const;

    // Records a policy. False for a pipe the setting does not have or an unknown policy.
    bool setPolicy(uint8_t pipeId, PipePolicy policy, uint32_t value);

    // The time-out of every transfer on the pipe in milliseconds, 0 for none (also for pipes
    // the setting does not have).
    uint32_t timeoutMs(uint8_t pipeId) const;

    // A transfer on the pipe ended with a stall. Remembered only while AutoClearStall is on.
    void noteStall(uint8_t pipeId);
    // True once after a remembered stall: the caller clears the halt before its transfer (and
    // calls noteStall again when that fails, so the next transfer tries again).
    bool takePendingClear(uint8_t pipeId);
    // The halt was cleared some other way (resetPipe): nothing is pending.
    void noteCleared(uint8_t pipeId);

private:
    struct Pipe {
        PipeInfo info;
        bool autoClearStall = false;
        uint32_t timeoutMs = 0;
        bool clearPending = false;
    };

    Pipe* pipe(uint8_t pipeId);
    const Pipe* pipe(uint8_t pipeId) const;

    std::vector<Pipe> m_pipes;
};

}  // namespace kx
