// The second variant's acquisition thread: takes each complete frame the bulk transfer thread
// marks ready, copies it into the next frame-store slot and queues the slot for the callback
// thread. A frame limit above 0 ends it after that many frames (single-frame capture). It ends
// when the board has left, and wakes the callback thread to end too.
#pragma once

#include <atomic>
#include <cstdint>

#include "thread/kxDeviceThreadBase.h"

struct CamContext;
class FrameQueue;
namespace kx {
class Event;
}

class mvAcqThread : public SD::DeviceThreadBase {
public:
    static constexpr std::chrono::milliseconds kFrameWait{5000};

    mvAcqThread(CamContext& context, FrameQueue& queue, kx::Event& queued, int32_t frameLimit);
    ~mvAcqThread() override;

    std::atomic<bool> finished{false};
    std::atomic<bool> running{false};
    int32_t frames() const { return m_frames; }

protected:
    void svcThread() override;

private:
    // Copies the ready node into a slot and hands the node back; false when none was ready.
    bool takeReadyFrame();

    CamContext& m_context;
    FrameQueue& m_queue;
    kx::Event& m_queued;
    const int32_t m_frameLimit;
    std::atomic<int32_t> m_frames{0};
};
