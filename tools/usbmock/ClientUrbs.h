// The transfers of one client (one open file of a device node): those in flight, those done and
// not yet reaped, and the reap that waits for one.
//
// libusb sees the emulated node as a plain file, which poll() always reports ready, so its event
// thread asks for a finished transfer again and again. A reap with nothing to hand over is
// therefore held back ("parked") for up to kPark, and handed the first transfer that finishes
// meanwhile. umockdev serialises the ioctls of one file, so while a reap is parked the client's
// other threads wait to submit: a client that has just submitted or discarded (within kBusy) and
// has nothing in flight gets its empty reaps answered at once.
//
// Threads: reap, submitted and find run on umockdev's server thread, which also runs the parked
// reap's end; transfers finish on the endpoint workers, which only queue the Urb and wake the
// server thread.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "Urb.h"

typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _GMainContext GMainContext;
typedef struct _GSource GSource;

namespace usbmock {

class ClientUrbs : public std::enable_shared_from_this<ClientUrbs> {
public:
    static constexpr std::chrono::milliseconds kPark{2};
    static constexpr std::chrono::milliseconds kBusy{10};
    // How often a blocking reap looks again whether its device is gone.
    static constexpr std::chrono::milliseconds kBlockingCheck{100};

    // server: the context of umockdev's server thread. gone: whether the client's device left.
    ClientUrbs(GMainContext* server, std::function<bool()> gone);
    ~ClientUrbs();
    ClientUrbs(const ClientUrbs&) = delete;
    ClientUrbs& operator=(const ClientUrbs&) = delete;

    // A transfer was submitted: it counts as in flight until it finishes.
    void submitted(const std::shared_ptr<Urb>& urb);
    // The client issued an ioctl other than a reap.
    void touch();
    // The transfer in flight at a client address; null if none.
    std::shared_ptr<Urb> find(unsigned long clientAddress) const;
    // REAPURB (block) or REAPURBNDELAY: completes the client's ioctl now or later.
    void reap(UMockdevIoctlClient* client, bool block);

private:
    struct Parked;

    GMainContext* m_server;
    std::function<bool()> m_gone;
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Urb>> m_inFlight;
    std::deque<std::shared_ptr<Urb>> m_done;
    std::chrono::steady_clock::time_point m_lastBusy{};
    // The parked reap, if any (server thread only).
    std::unique_ptr<Parked> m_parked;

    void finished(Urb& urb);
    // The device left and every transfer of the client has been reaped: reaps fail with ENODEV
    // from now on (until then they hand over what the departure ended, as the kernel does).
    bool allGone() const;
    // Server thread: hands the oldest finished transfer to the client; false when there is none.
    bool handOver(UMockdevIoctlClient* client);
    // Server thread: ends the parked reap if it can; always when it timed out.
    void settleParked(bool timedOut);
    void park(UMockdevIoctlClient* client, bool block);
};

}  // namespace usbmock
