#include "FrameFitter.h"

namespace hv {

FrameFitter::FrameFitter(int width, int height) : m_width(width), m_height(height) {}

QImage FrameFitter::fit(const QImage& frame) {
    if (frame.isNull()) {
        return {};
    }
    const QImage rgb = frame.format() == QImage::Format_RGB32
                           ? frame
                           : frame.convertToFormat(QImage::Format_RGB32);
    if (rgb.width() == m_width && rgb.height() == m_height) {
        return rgb;
    }
    if (!m_scaler || m_scalerSource != rgb.size()) {
        m_scaler = std::make_unique<BilinearScaler>(rgb.width(), rgb.height(), m_width, m_height);
        m_scalerSource = rgb.size();
    }
    QImage fitted(m_width, m_height, QImage::Format_RGB32);
    m_scaler->scale(rgb, fitted);
    return fitted;
}

}  // namespace hv
