// Receives the frames a board streams to kxcxctl: counts them and keeps copies when asked.
// A first-variant board answers every poll with its newest frame, so a callback may repeat the
// frame of the one before; the sink tells new frames from repeats by their bytes (a still
// picture, such as colour bars, therefore counts once until something in it changes).
// The library's frame callback is a plain function, so one sink is active at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include <kxCxApi.h>

class FrameSink {
public:
    // How often waitKept asks whether frames ended.
    static constexpr std::chrono::milliseconds kEndPoll{100};

    // keep: how many new frames to copy (0: only count).
    explicit FrameSink(std::size_t keep);
    ~FrameSink();
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    static CxFrameCallback callback() { return &onFrame; }

    // Callbacks so far, and those of them that brought a new frame.
    uint64_t count() const { return m_count; }
    uint64_t fresh() const { return m_fresh; }
    // Waits until `keep` frames are copied, or until frames kept coming for `still` without a
    // new one among them (the picture stands still), or until `ended` (asked every 100 ms)
    // says no more frames will come; false on time-out, a still picture or an end.
    bool waitKept(std::chrono::milliseconds timeout, std::chrono::milliseconds still,
                  const std::function<bool()>& ended);
    // The copied frames (only after streaming stopped).
    const std::vector<std::vector<uint8_t>>& frames() const { return m_frames; }

private:
    static void onFrame(const void* frame, int frameBytes, CamContext* handle);
    // Under m_mutex: whether the frame differs from the previous one, which it then replaces.
    bool isNew(const uint8_t* bytes, std::size_t size);

    const std::size_t m_keep;
    std::atomic<uint64_t> m_count{0};
    std::atomic<uint64_t> m_fresh{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<uint8_t> m_previous;
    std::chrono::steady_clock::time_point m_lastNew{};
    std::chrono::milliseconds m_stillFor{0};  // 0: not waiting for a still picture
    bool m_stoodStill = false;
    std::vector<std::vector<uint8_t>> m_frames;
};
