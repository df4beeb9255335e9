// The second board variant's bulk transfer thread: keeps a read of one frame queued on every node
// of the context's ring and classifies what arrives (good, short, long); a complete frame becomes
// the ring's ready node and signals the frame-ready event. When the board has left (a read failed
// with ENODEV) it ends, logs "Device Removed, Bulk Transfer Thread Stopped" and signals the
// frame-ready event once more, so that the acquisition thread sees the board gone at once.
#pragma once

#include <atomic>
#include <mutex>

#include "sync/kxEvent.h"
#include "thread/kxDeviceThreadBase.h"

struct CamContext;
struct RingNode;

class BulkXferThread : public SD::DeviceThreadBase {
public:
    BulkXferThread(CamContext& context);
    ~BulkXferThread() override;

    // Prepares the events for a run (stop request and exit acknowledgement cleared).
    void resetEvents();
    // Asks the thread to end.
    void requestStop();
    // Waits for the exit acknowledgement.
    bool waitExit(std::chrono::milliseconds timeout);

    std::atomic<bool> finished{false};
    std::atomic<bool> running{false};

protected:
    void svcThread() override;

private:
    // Queues a read on a node; false (logged) when it could not be queued.
    bool queueRead(RingNode& node, int line);
    void appendPending(RingNode& node);
    RingNode* popPending();
    // Classifies a completed frame under the transfer lock; returns the node to queue again
    // (null when the node is now the ready one and nothing was replaced).
    RingNode* classify(RingNode& node);
    // After a failed read: the recovery request, channel state 5.
    void recover();

    CamContext& m_context;
    std::mutex m_mutex;
    kx::Event m_stopRequest{kx::Event::Reset::Auto};
    kx::Event m_exitAck{kx::Event::Reset::Auto};
    kx::Event m_third{kx::Event::Reset::Auto, true};
};
