#include "GammaCurves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace firmwaregen {

namespace {

constexpr double kTop = GammaCurves::kEntries - 1;

double shape(int n, double x) {
    switch (n) {
        case 1:
            return std::pow(x, 1.0 / 1.4);
        case 2:
            return std::pow(x, 1.0 / 1.8);
        case 3:
            return std::pow(x, 1.0 / 2.2);
        case 7:
            return 0.5 - 0.5 * std::cos(x * M_PI);
        case 8:
            return std::pow(x, 1.5);
        case 9:
            return std::log1p(15.0 * x) / std::log1p(15.0);
        default:
            return x;
    }
}

}  // namespace

const std::vector<int>& GammaCurves::numbers() {
    static const std::vector<int> list = {0, 1, 2, 3, 7, 8, 9};
    return list;
}

std::vector<int> GammaCurves::levels(int n) {
    std::vector<int> out(kEntries);
    for (int k = 0; k < kEntries; ++k) {
        const double level = std::round(shape(n, k / kTop) * kTop);
        out[k] = static_cast<int>(std::clamp(level, 0.0, kTop));
    }
    return out;
}

std::string GammaCurves::typeZeroFile(const std::vector<int>& levels) {
    std::string out;
    char line[64];
    for (std::size_t k = 0; k < levels.size(); ++k) {
        std::snprintf(line, sizeof(line), "%.6f %d\n", static_cast<double>(k), levels[k]);
        out += line;
    }
    return out;
}

}  // namespace firmwaregen
