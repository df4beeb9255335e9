// The data waiting on one IN endpoint: the board's side pushes bytes, the host's reads take them
// in order. A read waits for data up to its time-out; it ends early when the pipe is cancelled,
// halted or the device leaves.
//
// A push may carry the moment its bytes reach the bus (a transfer that takes time on the wire);
// reads do not see it before then. Buffers of transfers the host has taken are kept for reuse
// (spareBuffer), so a source that pushes the same size again and again allocates nothing once
// it runs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace boardsim {

class DataPipe {
public:
    using Clock = std::chrono::steady_clock;

    DataPipe();

    // Queues one transfer's worth of bytes; a read never returns bytes of two pushes at once, so
    // a short push is a short transfer, as on the bus. An empty push is a zero-length packet.
    void push(std::vector<uint8_t> bytes);
    // As push, but readable only from readyAt on (steady clock).
    void push(std::vector<uint8_t> bytes, Clock::time_point readyAt);

    // A buffer to fill and push: one that a finished transfer left behind, with its capacity
    // (one of at least capacity bytes when there is one), or an empty one when none is left. Its
    // size and contents are whatever it had.
    std::vector<uint8_t> spareBuffer(std::size_t capacity = 0);
    // Makes count spare buffers (at most kMaxSpares) of at least capacity bytes wait, so that a
    // source that keeps no more than that many transfers in flight never allocates.
    void provideSpares(std::size_t count, std::size_t capacity);
    static constexpr std::size_t kMaxSpares = 6;

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
    // Drops queued transfers the host has not begun to read, oldest first, until at most keep
    // transfers are queued. Returns how many were dropped.
    std::size_t dropOldest(std::size_t keep);
    // Waits until fewer than count transfers are queued, the pipe leaves, or the time-out
    // passes; true when fewer are queued.
    bool waitForRoom(std::size_t count, std::chrono::milliseconds timeout);

    // Transfers pushed so far; of them, those read to their end (taken) and those that left the
    // queue either way (finished: taken or dropped). Push number n (from 0) is still queued
    // while finishedCount() <= n.
    uint64_t pushedCount() const;
    uint64_t takenCount() const;
    uint64_t finishedCount() const;

private:
    struct Transfer {
        std::vector<uint8_t> bytes;
        Clock::time_point readyAt;
    };

    // The queue is a ring over m_ring (grown when full), so that pushing allocates nothing.
    Transfer& front() { return m_ring[m_head]; }
    void pushBack(std::vector<uint8_t>&& bytes, Clock::time_point readyAt);
    // Removes the front transfer, keeping its buffer for reuse.
    void popFront();
    void dropAll();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Transfer> m_ring;
    std::size_t m_head = 0;
    std::size_t m_count = 0;
    std::size_t m_offset = 0;  // bytes of the front push already read
    std::vector<std::vector<uint8_t>> m_spares;
    uint64_t m_cancelGeneration = 0;
    uint64_t m_pushed = 0;
    uint64_t m_taken = 0;
    uint64_t m_finished = 0;
    bool m_halted = false;
    bool m_present = true;
};

}  // namespace boardsim
