#include "ColourBars.h"

#include <QPainter>
#include <array>
#include <stdexcept>

namespace resourcegen {

QRgb ColourBars::barColour(int bar) {
    static constexpr std::array<QRgb, kBars> kColours = {
        0xFFFFFFFFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFF00FF00u,
        0xFFFF00FFu, 0xFFFF0000u, 0xFF0000FFu, 0xFF000000u,
    };
    if (bar < 0 || bar >= kBars) {
        throw std::out_of_range("colour bar index");
    }
    return kColours[static_cast<std::size_t>(bar)];
}

int ColourBars::barLeft(int bar) {
    return bar * kSize / kBars;
}

QImage ColourBars::draw() {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int bar = 0; bar < kBars; ++bar) {
        painter.fillRect(barLeft(bar), 0, barLeft(bar + 1) - barLeft(bar), kSize,
                         QColor::fromRgb(barColour(bar)));
    }
    return image;
}

}  // namespace resourcegen
