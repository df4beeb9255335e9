#include "LedReadBack.h"

#include <cmath>

#include "LedProbe.h"
#include "Pca9530Rule.h"
#include "Pca9633Rule.h"

namespace hv {

namespace {

constexpr int kModeOn = 0;
constexpr int kModeOff = 1;
constexpr int kModePwm1 = 2;
constexpr double kPrescalerClock = 152.0;

int dutyOf(int pwm, double fullScale) {
    return static_cast<int>(std::lround((1.0 - pwm / fullScale) * 100.0));
}

}  // namespace

std::optional<LedReadBack::Setting> LedReadBack::read(int controller, int led) {
    if (controller == LedProbe::kPca9633 && led >= 0 && led <= 3) {
        return readPca9633(led);
    }
    if (controller == LedProbe::kPca9530 && led >= 0 && led <= 1) {
        return readPca9530(led);
    }
    return std::nullopt;
}

std::optional<LedReadBack::Setting> LedReadBack::readPca9633(int channel) {
    int ledOut = 0;
    int mode1 = 0;
    int pwm = 0;
    if (!m_bus.read(Pca9633Rule::kChip, Pca9633Rule::kRegLedOut, ledOut) ||
        !m_bus.read(Pca9633Rule::kChip, Pca9633Rule::kRegMode1, mode1) ||
        !m_bus.read(Pca9633Rule::kChip, Pca9633Rule::kRegPwm0 + channel, pwm)) {
        return std::nullopt;
    }
    const int code = ledOut >> (2 * channel) & 0x03;
    Setting setting;
    if (code == Pca9633Rule::kCodeOff) {
        setting.mode = kModeOff;
    } else if (code >= Pca9633Rule::kCodePwm) {
        setting.mode = kModePwm1 + (code - Pca9633Rule::kCodePwm);
        setting.duty = dutyOf(pwm, 255.0);
    } else if ((mode1 & Pca9633Rule::kMode1Sleep) != 0) {
        setting.mode = kModeOn;
    } else {
        setting.mode = kModePwm1;
    }
    return setting;
}

std::optional<LedReadBack::Setting> LedReadBack::readPca9530(int led) {
    int ls0 = 0;
    if (!m_bus.read(Pca9530Rule::kChip, Pca9530Rule::kRegLs0, ls0)) {
        return std::nullopt;
    }
    Setting setting;
    setting.mode = ls0 >> (2 * led) & 0x03;
    if (setting.mode >= kModePwm1) {
        const bool first = setting.mode == kModePwm1;
        int prescaler = 0;
        int pwm = 0;
        if (!m_bus.read(Pca9530Rule::kChip, first ? Pca9530Rule::kRegPsc0 : Pca9530Rule::kRegPsc1,
                        prescaler) ||
            !m_bus.read(Pca9530Rule::kChip, first ? Pca9530Rule::kRegPwm0 : Pca9530Rule::kRegPwm1,
                        pwm)) {
            return std::nullopt;
        }
        setting.frequency = kPrescalerClock / (prescaler + 1);
        setting.duty = dutyOf(pwm, 256.0);
    }
    return setting;
}

}  // namespace hv
