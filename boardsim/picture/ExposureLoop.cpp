#include "ExposureLoop.h"

#include <algorithm>
#include <cmath>

namespace boardsim {

void ExposureLoop::setExposure(int exposure) {
    m_exposure = std::clamp(exposure, 0, kMaxExposure);
}

void ExposureLoop::setGain(int gain) {
    m_gain = std::clamp(gain, 0, kMaxGain);
}

void ExposureLoop::update(int average, const Bands& bands, bool autoExposure, bool autoGain) {
    if (!autoExposure && !autoGain) {
        m_adjusting = false;
        return;
    }
    const int stableLow = std::min(bands.stableLow, bands.stableHigh);
    const int stableHigh = std::max(bands.stableLow, bands.stableHigh);
    if (!m_adjusting && (average < bands.outLow || average > bands.outHigh)) {
        m_adjusting = true;
    }
    if (average >= stableLow && average <= stableHigh) {
        m_adjusting = false;
    }
    if (!m_adjusting) {
        return;
    }

    // Half the step (in ratio) that would land on the target if brightness were linear: steady
    // without overshoot, at most a doubling or halving a frame.
    const double target = (stableLow + stableHigh) / 2.0;
    double factor = std::sqrt(std::max(target, 1.0) / std::max(average, 1));
    if (average >= 250) {
        factor = 0.5;  // clipped: the frame is brighter than the measure shows
    }
    factor = std::clamp(factor, 0.5, 2.0);

    const double exposure = std::max(m_exposure, kMinExposure);
    const double gain = std::max(m_gain, kUnityGain);
    int newExposure = m_exposure;
    int newGain = m_gain;
    if (autoExposure && autoGain) {
        // Exposure first, gain only past the longest exposure (and off first on the way down).
        const double total = exposure * gain / kUnityGain * factor;
        const double longest = std::clamp(total, double{kMinExposure}, double{kMaxExposure});
        newExposure = static_cast<int>(std::lround(longest));
        newGain = static_cast<int>(std::lround(
            std::clamp(kUnityGain * total / longest, double{kUnityGain}, double{kMaxGain})));
    } else if (autoExposure) {
        newExposure = static_cast<int>(
            std::lround(std::clamp(exposure * factor, double{kMinExposure}, double{kMaxExposure})));
    } else {
        newGain = static_cast<int>(
            std::lround(std::clamp(gain * factor, double{kUnityGain}, double{kMaxGain})));
    }
    if (newExposure == m_exposure && newGain == m_gain) {
        // Short exposures move in whole lines: at least one step a frame, exposure first on the
        // way up and gain first on the way down.
        const int step = factor > 1.0 ? 1 : -1;
        const bool exposureCanMove =
            autoExposure && (step > 0 ? m_exposure < kMaxExposure : m_exposure > kMinExposure);
        const bool gainCanMove = autoGain && (step > 0 ? m_gain < kMaxGain : m_gain > kUnityGain);
        if (gainCanMove && (step < 0 || !exposureCanMove)) {
            newGain += step;
        } else if (exposureCanMove) {
            newExposure += step;
        }
    }
    m_exposure = newExposure;
    m_gain = newGain;
}

}  // namespace boardsim
