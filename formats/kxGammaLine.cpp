#include "kxGammaLine.h"

#include <algorithm>
#include <cstdio>

int GammaLine::pairsOf(int type) {
    return type >= 1 && type <= 3 ? type + 1 : 1;
}

int GammaLine::read(const std::string& line, int pairs, int (&levels)[kMaxPairs]) {
    std::fill(std::begin(levels), std::end(levels), 0);
    double input[kMaxPairs];
    int fields = 0;
    switch (std::clamp(pairs, 1, kMaxPairs)) {
        case 1:
            fields = std::sscanf(line.c_str(), "%lf %d", &input[0], &levels[0]);
            break;
        case 2:
            fields = std::sscanf(line.c_str(), "%lf %d %lf %d", &input[0], &levels[0], &input[1],
                                 &levels[1]);
            break;
        case 3:
            fields = std::sscanf(line.c_str(), "%lf %d %lf %d %lf %d", &input[0], &levels[0],
                                 &input[1], &levels[1], &input[2], &levels[2]);
            break;
        default:
            fields =
                std::sscanf(line.c_str(), "%lf %d %lf %d %lf %d %lf %d", &input[0], &levels[0],
                            &input[1], &levels[1], &input[2], &levels[2], &input[3], &levels[3]);
            break;
    }
    return std::max(fields, 0) / 2;
}
