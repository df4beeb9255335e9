// Runs the transfers of one endpoint of one board attachment on the simulated board, one at a
// time in the order they were submitted, on a thread of its own: endpoint 0 answers control
// transfers (descriptors here, everything else by the board), a data endpoint hands each transfer
// to the board's pipe.
//
// Results, as the kernel reports them in a URB's status:
//   data or bytes sent     0 and the length;  a stall      -EPIPE;
//   device gone            -ENODEV (also once the attachment has ended: a board that came
//                          back is a new device);
//   discarded              -ENOENT, with no data;
//   NAK                    the transfer waits, as on the bus, until it is discarded, the device
//                          goes, or its NAK limit (the synchronous control request's time-out)
//                          passes (-ETIMEDOUT). The board's control time-out is a NAK: the
//                          board is asked once, and the host's own time-out ends the wait.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "BoardDescriptors.h"
#include "Urb.h"
#include "board/CameraBoard.h"

namespace usbmock {

class EndpointWorker {
public:
    // How long the board is asked to wait for data at a time, so that a discard that came just
    // before the board started waiting still ends the transfer soon.
    static constexpr std::chrono::milliseconds kSlice{20};

    // descriptors: for endpoint 0. attachment: the board's attachment the transfers belong to.
    EndpointWorker(std::shared_ptr<boardsim::CameraBoard> board, uint64_t attachment,
                   uint8_t endpoint, const BoardDescriptors& descriptors);
    // stop(), then the thread ends.
    ~EndpointWorker();
    EndpointWorker(const EndpointWorker&) = delete;
    EndpointWorker& operator=(const EndpointWorker&) = delete;

    void submit(std::shared_ptr<Urb> urb);
    // A queued transfer ends at once with -ENOENT; the running one ends as soon as the board lets
    // go of it. False when the transfer is not this worker's (any more).
    bool discard(const std::shared_ptr<Urb>& urb);
    // The attachment ended: every transfer ends with -ENODEV and the thread ends.
    void stop();

private:
    std::shared_ptr<boardsim::CameraBoard> m_board;
    const uint64_t m_attachment;
    const uint8_t m_endpoint;
    const BoardDescriptors& m_descriptors;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Urb>> m_queue;
    std::shared_ptr<Urb> m_running;
    bool m_stopping = false;
    std::thread m_thread;

    void run();
    void runControl(Urb& urb);
    void runData(Urb& urb);
    // A NAK: waits until the transfer is discarded, the attachment ends or the limit passes,
    // then finishes it accordingly.
    void waitOutNak(Urb& urb);
    // Whether transfers can still reach this attachment.
    bool present();
};

}  // namespace usbmock
