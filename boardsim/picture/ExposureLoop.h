// The sensor's automatic exposure and gain: once a frame it compares the metered brightness with
// its bands and moves exposure (then gain, once exposure is at its longest) toward the middle of
// the stable band. It starts to react only when the brightness leaves the outer band, and stops
// once it is back inside the stable band.
#pragma once

namespace boardsim {

class ExposureLoop {
public:
    static constexpr int kMaxExposure = 8191;
    static constexpr int kMinExposure = 1;
    static constexpr int kUnityGain = 16;
    static constexpr int kMaxGain = 127;

    struct Bands {
        int stableLow;
        int stableHigh;
        int outLow;
        int outHigh;
    };

    // The manual values, taken over while that half of the loop is off (and where the loop
    // starts from when it is switched on).
    void setExposure(int exposure);
    void setGain(int gain);

    // One frame: `average` is the metered brightness (0..255) of the frame just taken with the
    // current values. Moves exposure when autoExposure, gain when autoGain; with both off it
    // rests, and starts from the outer band when switched on again.
    void update(int average, const Bands& bands, bool autoExposure, bool autoGain);

    int exposure() const { return m_exposure; }
    int gain() const { return m_gain; }
    // True while the loop is pulling the brightness back into the stable band.
    bool adjusting() const { return m_adjusting; }

private:
    int m_exposure = 0x200;
    int m_gain = kUnityGain;
    bool m_adjusting = false;
};

}  // namespace boardsim
