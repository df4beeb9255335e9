// Turns a delivered frame (R, G, B bytes row by row, three a pixel) into the frame image
// (QImage::Format_ARGB32, opaque: the image a setPixel(x, y, qRgb(r, g, b)) per pixel gives) and
// enlarges it to the displayed edge.
//
// Nothing is allocated per frame in the steady state: the frame image is rewritten in place and
// two scaled images take turns. An image that someone still holds a copy of is replaced rather
// than rewritten, so every copy handed out keeps its pixels.
//
// Used on the GUI thread.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

#include "BilinearScaler.h"

namespace hv {

class FrameConverter {
public:
    // The delivered frame's size in pixels (at least 1 each).
    FrameConverter(int width, int height);

    int width() const { return m_frame.width(); }
    int height() const { return m_frame.height(); }

    // The frame image (black until the first frame). The object is the same for the
    // converter's life, so a pointer to it (the zoom window's source) stays valid and shows the
    // newest frame.
    const QImage& frame() const { return m_frame; }

    // Converts width x height x 3 bytes into the frame image and returns it.
    const QImage& convert(const uint8_t* rgb);

    // The frame image enlarged (or reduced) to edge x edge, ignoring the aspect ratio, with
    // bilinear interpolation (see BilinearScaler for how it compares with QImage::scaled); a
    // null image when edge is less than 1. The returned object is rewritten by the call after
    // next: keep a copy of it, not the reference.
    const QImage& scaled(int edge);

private:
    QImage m_frame;
    QImage m_scaled[2];
    int m_nextScaled = 0;
    std::unique_ptr<BilinearScaler> m_scaler;
};

}  // namespace hv
