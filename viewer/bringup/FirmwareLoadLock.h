// Set just before the board's USB controller gets new firmware, and never cleared in the run: the
// controller leaves the bus and comes back, and the board's arrivals and removals from then on
// are not the operator's doing.
#pragma once

#include <atomic>

namespace hv {

class FirmwareLoadLock {
public:
    static void set() { s_set = true; }
    static bool isSet() { return s_set; }
    // For tests: the state of a fresh program.
    static void clearForTests() { s_set = false; }

private:
    static inline std::atomic<bool> s_set{false};
};

}  // namespace hv
