// The main window's large push-button icons, 64 x 64 on a transparent background: a flat disc
// with a slightly darker rim and a white (or red) glyph, readable on the grey window.
//   about          blue disc, an "i"
//   record         charcoal disc, a red dot (the record button while idle)
//   stop           charcoal disc, a red square (the record button while recording)
//   handleUp/Down  slate disc, a triangle pointing up or down (illumination up and down)
//   review         teal disc, two stacked photographs
//   photo          charcoal disc, a camera
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <functional>

namespace resourcegen {

class ButtonIcon {
public:
    static constexpr int kSize = 64;
    static inline const QColor kGlyph{250, 250, 250};
    static inline const QColor kRecordRed{220, 45, 45};

    static QImage about();
    static QImage record();
    static QImage stop();
    static QImage handleUp();
    static QImage handleDown();
    static QImage review();
    static QImage photo();

private:
    // A transparent picture with the disc drawn, then the glyph painted over it (antialiased,
    // no pen).
    static QImage withGlyph(const QColor& disc, const std::function<void(QPainter&)>& glyph);
    static QImage handle(bool up);
};

}  // namespace resourcegen
