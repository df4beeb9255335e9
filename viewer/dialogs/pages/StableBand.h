// A band of the sensor's exposure control around the brightness target (AEC "stable in" and
// "stable out"): the registers of its low and high limit, the limits the band must keep within,
// and what the AEC+AGC page says when a range is refused or its write fails.
#pragma once

namespace hv {

struct StableBand {
    int lowReg;
    int highReg;
    int limitLow;
    int limitHigh;
    const char* refused;
    const char* failed;  // %1: the platform error

    // The band of half width range around target keeps within the limits.
    bool holds(int target, int range) const {
        return target - range >= limitLow && target + range <= limitHigh;
    }
};

}  // namespace hv
