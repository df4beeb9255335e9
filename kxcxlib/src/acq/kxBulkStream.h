// Starting and stopping the second variant's bulk stream on a context ("CamDevice::startBulkXfer").
#pragma once

#include <chrono>

struct CamContext;

class BulkStream {
public:
    // How long a stop waits for the thread's acknowledgement before it aborts the pipe under it.
    static constexpr std::chrono::milliseconds kStopWait{3000};

    // Creates the context's bulk transfer thread if it has none, clears the ring (nodes,
    // events, counters) and starts the thread. 0, or -1.
    static int start(CamContext& context);
    // Ends the thread and every read it left queued. True when the thread ended; false when it
    // did not even after its pipe was aborted (it is then kept, never freed under itself).
    static bool stop(CamContext& context);
};
