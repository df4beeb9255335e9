#include "Pca9530Rule.h"

#include <algorithm>
#include <array>

namespace hv {

namespace {

// LS0 codes of modes 0-3 for both LEDs (LED n in bits 2n and 2n+1) and each LED's bits.
constexpr std::array<int, 4> kModeCodes = {0x00, 0x05, 0x0A, 0x0F};
constexpr std::array<int, 2> kLedMasks = {0x03, 0x0C};

constexpr int kModePwm0 = 2;
constexpr double kPrescalerClock = 152.0;
// The slowest blink rate: prescaler 255.
constexpr double kLowestFrequency = kPrescalerClock / 256.0;

}  // namespace

void Pca9530Rule::apply(int led, int mode, double frequency, int duty) {
    if (led < 0 || led > 1 || mode < 0 || mode > 3) {
        return;
    }
    int ls0 = 0;
    if (!m_bus.read(kChip, kRegLs0, ls0)) {
        return;
    }
    const int mask = kLedMasks[led];
    m_bus.write(kChip, kRegLs0, (ls0 & ~mask) | (kModeCodes[mode] & mask));
    if (mode >= kModePwm0) {
        setBlinkRate(mode, frequency, duty);
    }
}

void Pca9530Rule::setBlinkRate(int mode, double frequency, int duty) {
    // Written so that a frequency that is not a number counts as the lowest too.
    if (!(frequency >= kLowestFrequency)) {
        frequency = kLowestFrequency;
    }
    duty = std::clamp(duty, 1, 99);
    const bool first = mode == kModePwm0;
    const int prescaler = std::max(0, static_cast<int>(kPrescalerClock / frequency - 1.0));
    m_bus.write(kChip, first ? kRegPsc0 : kRegPsc1, prescaler);
    m_bus.write(kChip, first ? kRegPwm0 : kRegPwm1, static_cast<int>((1.0 - duty / 100.0) * 256.0));
}

}  // namespace hv
