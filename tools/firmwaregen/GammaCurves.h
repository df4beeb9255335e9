// The gamma curves shipped with the simulator, one 1024-entry table each, 10-bit levels:
//   0 straight (no slope)     1 gamma 1/1.4 (easy)     2 gamma 1/1.8 (medium)
//   3 gamma 1/2.2 (steeper)   7 contrast S-curve       8 gamma 1.5 (darker)
//   9 logarithmic (shadows lifted)
#pragma once

#include <string>
#include <vector>

namespace firmwaregen {

class GammaCurves {
public:
    static constexpr int kEntries = 1024;
    static const std::vector<int>& numbers();
    // The output levels of curve n (one of numbers()).
    static std::vector<int> levels(int n);
    // The curve as a type-0 gamma file: "%lf %d" per line (input level, output level).
    static std::string typeZeroFile(const std::vector<int>& levels);
};

}  // namespace firmwaregen
