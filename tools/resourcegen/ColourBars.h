// The live image window's picture before any frame: eight full-intensity vertical bars of equal
// width, left to right white, yellow, cyan, green, magenta, red, blue, black; on the 400 x 400
// picture each bar is 50 pixels wide.
#pragma once

#include <QImage>

namespace resourcegen {

class ColourBars {
public:
    static constexpr int kSize = 400;
    static constexpr int kBars = 8;

    static QRgb barColour(int bar);
    // The first column of the bar (kSize for bar kBars, the right edge).
    static int barLeft(int bar);
    static QImage draw();
};

}  // namespace resourcegen
