// Fits the frames of a recording to the encoder's picture: any size and format in, the
// recording's size in QImage::Format_RGB32 out, stretched to fill it (bilinear). Runs on the
// encoding thread; the scaler is kept from frame to frame while the frames keep their size.
#pragma once

#include <QImage>
#include <memory>

#include "BilinearScaler.h"

namespace hv {

class FrameFitter {
public:
    FrameFitter(int width, int height);

    // The frame at the fitted size and format; a null image for a null frame. A frame that
    // fits already is given back as it is (shared, not copied).
    QImage fit(const QImage& frame);

private:
    const int m_width;
    const int m_height;
    std::unique_ptr<BilinearScaler> m_scaler;
    QSize m_scalerSource;  // the frame size m_scaler was made for
};

}  // namespace hv
