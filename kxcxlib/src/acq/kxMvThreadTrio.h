// The second variant's streaming threads on one context: the bulk transfer thread, the
// acquisition thread and the callback thread, started and stopped together. Every thread is
// joined before its object goes away.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "acq/kxFrameQueue.h"
#include "sync/kxEvent.h"

struct CamContext;
class mvAcqThread;
class mvCbThread;

class MvThreadTrio {
public:
    static constexpr std::chrono::milliseconds kExitWait{3000};

    explicit MvThreadTrio(CamContext& context);
    ~MvThreadTrio();

    // The callback events, the acquisition (bulk stream and acquisition thread, endless) and
    // the callback thread. 0, or -4 (acquisition failed) / -5 (callback thread) / -2, -3.
    int start();
    // Stops the acquisition, then the callback thread. 0.
    int stop();

    // The bulk stream and an acquisition thread that ends after frameLimit frames (0: never).
    // 0, or -1 to -6.
    int startAcquisition(int32_t frameLimit);
    void stopAcquisition();

    FrameQueue& queue() { return m_queue; }
    // Whether a callback thread was started and has not ended (by stop, or because the board
    // left).
    bool callbackRunning() const;

private:
    // The bulk stream and the acquisition thread ended and joined; their events stay.
    void endAcquisitionThreads();
    void closeAcquisitionEvents();
    void closeCallbackEvents();

    CamContext& m_context;
    FrameQueue m_queue;
    kx::Event m_queued{kx::Event::Reset::Auto};
    std::unique_ptr<mvAcqThread> m_acq;
    std::unique_ptr<mvCbThread> m_cb;
};
