// Transfers to endpoints that answer NAK: nothing on the device takes or gives their data (a
// FIFO nobody drains, a controller whose CPU does not run), so the host's transfer waits until
// its time-out passes (-ETIMEDOUT; a 0 ms time-out waits without bound), until the host cancels
// the endpoint's transfers (-ECANCELED) or until the device leaves the bus (-ENODEV).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>

namespace boardsim {

class NakWait {
public:
    // Waits as above; returns the negative errno that ended the transfer.
    int wait(uint8_t endpoint, std::chrono::milliseconds timeout);
    // Ends the waits on the endpoint with -ECANCELED.
    void cancel(uint8_t endpoint);
    // Device gone (waits end with -ENODEV, new ones fail at once) or back.
    void setPresent(bool present);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_present = true;
    std::map<uint8_t, uint64_t> m_cancels;
};

}  // namespace boardsim
