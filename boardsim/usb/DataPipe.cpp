#include "DataPipe.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace boardsim {

namespace {

constexpr std::size_t kInitialRing = 8;

}  // namespace

DataPipe::DataPipe() : m_ring(kInitialRing) {
    m_spares.reserve(kMaxSpares);
}

void DataPipe::push(std::vector<uint8_t> bytes) {
    push(std::move(bytes), Clock::time_point::min());
}

void DataPipe::push(std::vector<uint8_t> bytes, Clock::time_point readyAt) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_present) {
            return;
        }
        pushBack(std::move(bytes), readyAt);
    }
    m_changed.notify_all();
}

void DataPipe::pushBack(std::vector<uint8_t>&& bytes, Clock::time_point readyAt) {
    if (m_count == m_ring.size()) {
        std::vector<Transfer> grown(m_ring.size() * 2);
        for (std::size_t i = 0; i < m_count; ++i) {
            grown[i] = std::move(m_ring[(m_head + i) % m_ring.size()]);
        }
        m_ring = std::move(grown);
        m_head = 0;
    }
    Transfer& slot = m_ring[(m_head + m_count) % m_ring.size()];
    slot.bytes = std::move(bytes);
    slot.readyAt = readyAt;
    ++m_count;
    ++m_pushed;
}

void DataPipe::popFront() {
    Transfer& done = front();
    if (done.bytes.capacity() > 0 && m_spares.size() < kMaxSpares) {
        m_spares.push_back(std::move(done.bytes));
    }
    done.bytes = std::vector<uint8_t>();
    m_head = (m_head + 1) % m_ring.size();
    --m_count;
    m_offset = 0;
    ++m_finished;
}

void DataPipe::dropAll() {
    while (m_count > 0) {
        popFront();
    }
}

std::vector<uint8_t> DataPipe::spareBuffer(std::size_t capacity) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_spares.empty()) {
        return {};
    }
    auto chosen = std::find_if(m_spares.begin(), m_spares.end(), [capacity](const auto& spare) {
        return spare.capacity() >= capacity;
    });
    if (chosen == m_spares.end()) {
        chosen = m_spares.end() - 1;
    }
    std::vector<uint8_t> buffer = std::move(*chosen);
    m_spares.erase(chosen);
    return buffer;
}

void DataPipe::provideSpares(std::size_t count, std::size_t capacity) {
    std::lock_guard<std::mutex> lock(m_mutex);
    count = std::min(count, kMaxSpares);
    std::size_t fitting = 0;
    for (std::vector<uint8_t>& spare : m_spares) {
        if (fitting < count && spare.capacity() < capacity) {
            spare.reserve(capacity);
        }
        fitting += spare.capacity() >= capacity ? 1 : 0;
    }
    while (fitting < count && m_spares.size() < kMaxSpares) {
        m_spares.emplace_back().reserve(capacity);
        ++fitting;
    }
}

int DataPipe::read(uint8_t* data, uint32_t length, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const uint64_t generation = m_cancelGeneration;
    const bool bounded = timeout.count() != 0;
    const Clock::time_point deadline = Clock::now() + timeout;
    while (m_present && !m_halted && m_cancelGeneration == generation) {
        Clock::time_point wake = Clock::time_point::max();
        if (m_count > 0) {
            if (front().readyAt <= Clock::now()) {
                break;
            }
            wake = front().readyAt;
        }
        if (bounded) {
            if (Clock::now() >= deadline) {
                return -ETIMEDOUT;
            }
            wake = std::min(wake, deadline);
        }
        if (wake == Clock::time_point::max()) {
            m_changed.wait(lock);
        } else {
            m_changed.wait_until(lock, wake);
        }
    }
    if (!m_present) {
        return -ENODEV;
    }
    if (m_cancelGeneration != generation) {
        return -ECANCELED;
    }
    if (m_halted) {
        return -EPIPE;
    }
    Transfer& transfer = front();
    const std::size_t count = std::min<std::size_t>(length, transfer.bytes.size() - m_offset);
    if (count > 0) {
        std::memcpy(data, transfer.bytes.data() + m_offset, count);
    }
    m_offset += count;
    if (m_offset >= transfer.bytes.size()) {
        ++m_taken;
        popFront();
        lock.unlock();
        m_changed.notify_all();
    }
    return static_cast<int>(count);
}

void DataPipe::cancel() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_cancelGeneration;
    }
    m_changed.notify_all();
}

void DataPipe::setHalted(bool halted) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_halted = halted;
    }
    m_changed.notify_all();
}

bool DataPipe::halted() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_halted;
}

void DataPipe::setPresent(bool present) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_present = present;
        dropAll();
        m_halted = false;
    }
    m_changed.notify_all();
}

void DataPipe::clear() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dropAll();
    }
    m_changed.notify_all();
}

std::size_t DataPipe::queuedTransfers() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

std::size_t DataPipe::dropOldest(std::size_t keep) {
    std::size_t dropped = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A transfer the host has begun stays: dropping it would cut a transfer in two.
        const std::size_t begun = m_offset > 0 ? 1 : 0;
        keep = std::max(keep, begun);
        while (m_count > keep) {
            const std::size_t victim = (m_head + begun) % m_ring.size();
            Transfer removed = std::move(m_ring[victim]);
            for (std::size_t i = begun; i + 1 < m_count; ++i) {
                m_ring[(m_head + i) % m_ring.size()] =
                    std::move(m_ring[(m_head + i + 1) % m_ring.size()]);
            }
            --m_count;
            ++m_finished;
            ++dropped;
            if (removed.bytes.capacity() > 0 && m_spares.size() < kMaxSpares) {
                m_spares.push_back(std::move(removed.bytes));
            }
        }
    }
    if (dropped > 0) {
        m_changed.notify_all();
    }
    return dropped;
}

bool DataPipe::waitForRoom(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return !m_present || m_count < count; }) &&
           m_count < count;
}

uint64_t DataPipe::pushedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pushed;
}

uint64_t DataPipe::takenCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_taken;
}

uint64_t DataPipe::finishedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

}  // namespace boardsim
