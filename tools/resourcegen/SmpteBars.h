// The 75% colour bars the live canvas shows once the stream is set up, laid out as the studio
// test pattern is (proportions of the picture, so any size works; the resource is 640 x 640):
//
//   rows     top 2/3 of the height (rounded): seven bars of 1/7 of the width each, at 75%:
//              white 191,191,191  yellow 191,191,0  cyan 0,191,191  green 0,191,0
//              magenta 191,0,191  red 191,0,0  blue 0,0,191
//            then down to 3/4 of the height: the castellation strip, under each bar in turn
//              blue, black, magenta, black, cyan, black, white (75% values, black 19,19,19)
//            the bottom quarter: -I 0,33,76 and 100% white 255,255,255 and +Q 50,0,106, each
//              5/4 of a bar wide; black up to the fifth bar's right edge; the PLUGE under the
//              sixth bar in three thirds: 9,9,9 (4% below black), 19,19,19 (black), 29,29,29
//              (4% above black); black under the seventh bar
//   columns  every edge lies at a whole number of 84ths of the width (84 = 7 bars x 12, which
//            holds the quarters and thirds of a bar), rounded half up to a pixel: bar k starts at
//            12k/84; the bottom row's edges are at 15, 30, 45, 60, 64, 68 and 72 84ths. On 640
//            pixels: bars at 0 91 183 274 366 457 549, castellation row from y 427 to 480,
//            bottom row edges at 114 229 343 457 488 518 549.
//
// Black is the 7.5% set-up level (19), so that the PLUGE's darker third stays visible.
#pragma once

#include <QImage>
#include <vector>

namespace resourcegen {

class SmpteBars {
public:
    static constexpr int kSize = 640;
    static constexpr int kParts = 84;  // column edges are in 84ths of the width

    struct Band {
        int fromPart;  // 84ths of the width
        int toPart;
        QRgb colour;
    };

    static const std::vector<Band>& barRow();
    static const std::vector<Band>& castellationRow();
    static const std::vector<Band>& bottomRow();

    // The pixel column of an edge given in 84ths, and the rows where the castellation strip and
    // the bottom row start, for a picture of that size (rounded half up).
    static int columnOf(int part, int width);
    static int castellationTop(int height);
    static int bottomTop(int height);

    static QImage draw(int width = kSize, int height = kSize);
};

}  // namespace resourcegen
