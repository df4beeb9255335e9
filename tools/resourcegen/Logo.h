// The company logo and the desktop icon. The logo: a lens mark (a ring around an iris and its
// pupil, with a catch light) at the left, the company name "NELVORA" beside it in dark letters,
// a thin rule, and the product name "ORLO" under it in the mark's colour, on a transparent
// background. The main window's logo is 260 x 90; the about dialog's is the same drawing at
// 390 x 135. The desktop icon is 256 x 256: the mark in light colours on a rounded tile, with
// "ORLO" under it.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>

namespace resourcegen {

class Logo {
public:
    static constexpr int kWidth = 260;
    static constexpr int kHeight = 90;
    static constexpr int kIconSize = 256;
    static inline const QColor kTeal{20, 95, 115};
    static inline const QColor kInk{35, 40, 52};

    // The logo at `scale` times kWidth x kHeight.
    static QImage draw(double scale = 1.0);
    static QImage applicationIcon();

private:
    static void drawMark(QPainter& painter, QPointF centre, double radius, const QColor& ring);
};

}  // namespace resourcegen
