// A record of every operation the sim backend carried out, for tests to assert on.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "usb/kxUsbBackend.h"

namespace kx {

struct SimTransfer {
    enum class Kind { Open, Control, Read, Write, AsyncRead, ResetPipe, AbortPipe, SetPolicy };

    explicit SimTransfer(Kind what = Kind::Control) : kind(what) {}

    Kind kind = Kind::Control;
    std::string path;
    ControlSetup setup;   // Control
    uint8_t pipeId = 0;   // Read, Write, AsyncRead, ResetPipe, AbortPipe, SetPolicy
    uint32_t length = 0;  // bytes asked for (Read, AsyncRead, Control IN) or given (Write, OUT)
    // The data stage of control transfers and the bytes of writes; reads keep no data.
    std::vector<uint8_t> data;
    int result = 0;  // bytes transferred, or a negative errno
};

class SimTransferLog {
public:
    // The oldest records are dropped beyond the capacity, so a long stream cannot grow it
    // forever. A program that only runs on simulated boards keeps a few seconds' worth (well under
    // a megabyte); tests that look at whole operations ask for more.
    static constexpr std::size_t kDefaultCapacity = 4096;
    static constexpr std::size_t kTestCapacity = 65536;

    void setCapacity(std::size_t records);

    void add(SimTransfer transfer);
    std::vector<SimTransfer> records() const;
    // Only the control transfers, in order.
    std::vector<SimTransfer> controls() const;
    // Control transfers since the last clear, those dropped from the log included.
    std::size_t controlCount() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::deque<SimTransfer> m_records;
    std::size_t m_controlCount = 0;
    std::size_t m_capacity = kDefaultCapacity;
};

}  // namespace kx
