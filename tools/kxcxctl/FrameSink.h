// Receives the frames a board streams to kxcxctl: counts them and keeps copies when asked.
// The library's frame callback is a plain function, so one sink is active at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "kxCxApi.h"

class FrameSink {
public:
    // keep: how many frames to copy (0: only count).
    explicit FrameSink(std::size_t keep);
    ~FrameSink();
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    static CxFrameCallback callback() { return &onFrame; }

    uint64_t count() const { return m_count; }
    // Waits until `keep` frames are copied; false on time-out.
    bool waitKept(std::chrono::milliseconds timeout);
    // The copied frames (only after streaming stopped).
    const std::vector<std::vector<uint8_t>>& frames() const { return m_frames; }

private:
    static void onFrame(const void* frame, int frameBytes, CamContext* handle);

    const std::size_t m_keep;
    std::atomic<uint64_t> m_count{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::vector<uint8_t>> m_frames;
};
