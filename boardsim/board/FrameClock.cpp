#include "FrameClock.h"

namespace boardsim {

void FrameClock::setManual() {
    if (!m_manual) {
        m_manualNow = Clock::now();
        m_manual = true;
    }
}

void FrameClock::advance(Clock::duration step) {
    if (m_manual && step > Clock::duration::zero()) {
        m_manualNow += step;
    }
}

}  // namespace boardsim
