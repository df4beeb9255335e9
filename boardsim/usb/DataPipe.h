// The data waiting on one IN endpoint: the board's side pushes bytes, the host's reads take them
// in order. A read waits for data up to its time-out; it ends early when the pipe is cancelled,
// halted or the device leaves.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace boardsim {

class DataPipe {
public:
    // Queues one transfer's worth of bytes; a read never returns bytes of two pushes at once, so
    // a short push is a short transfer, as on the bus. An empty push is a zero-length packet.
    void push(std::vector<uint8_t> bytes);

    // Up to length bytes of the oldest push (the rest of it stays for the next read). Returns
    // the bytes read or -ETIMEDOUT, -ECANCELED, -EPIPE, -ENODEV. A 0 ms time-out waits without
    // bound.
    int read(uint8_t* data, uint32_t length, std::chrono::milliseconds timeout);

    // Ends the reads waiting now with -ECANCELED.
    void cancel();
    // A halted pipe fails reads with -EPIPE until cleared.
    void setHalted(bool halted);
    bool halted() const;
    // Device gone (reads fail with -ENODEV, queued data dropped) or back (empty, working).
    void setPresent(bool present);
    // Drops the queued data.
    void clear();
    std::size_t queuedTransfers() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<uint8_t>> m_queue;
    std::size_t m_offset = 0;  // bytes of the front push already read
    uint64_t m_cancelGeneration = 0;
    bool m_halted = false;
    bool m_present = true;
};

}  // namespace boardsim
