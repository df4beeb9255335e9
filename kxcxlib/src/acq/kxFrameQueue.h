// Frame-store slots handed from the acquisition thread to the callback thread: a single-producer,
// single-consumer ring of 12 slot pointers with atomic read and write counters. A push into a
// full ring is dropped.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

class FrameQueue {
public:
    static constexpr std::size_t kCapacity = 12;

    // Producer side. False when the ring is full (the slot is dropped).
    bool push(uint8_t* slot);
    // Consumer side. Null when empty.
    uint8_t* pop();
    // Forgets every slot; only while neither side runs.
    void clear();
    std::size_t size() const;

private:
    std::array<uint8_t*, kCapacity> m_slots{};
    std::atomic<uint64_t> m_written{0};
    std::atomic<uint64_t> m_read{0};
};
