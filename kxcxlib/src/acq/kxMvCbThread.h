// The second variant's callback thread: hands every queued frame-store slot to the frame
// callback, with the status word set to the handle buttons' report as the first variant does.
// When the board has left it calls back no more, stores ENODEV in the status word and ends.
#pragma once

#include <atomic>

#include "thread/kxDeviceThreadBase.h"

struct CamContext;
class FrameQueue;
namespace kx {
class Event;
}

class mvCbThread : public SD::DeviceThreadBase {
public:
    static constexpr std::chrono::milliseconds kStartWait{5000};

    mvCbThread(CamContext& context, FrameQueue& queue, kx::Event& queued);
    ~mvCbThread() override;

    std::atomic<bool> finished{false};
    std::atomic<bool> running{false};

protected:
    void svcThread() override;

private:
    void deliver(uint8_t* slot);

    CamContext& m_context;
    FrameQueue& m_queue;
    kx::Event& m_queued;
    int m_lastNibble = 0;
};
