#include "ImageZoom.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace hv {

namespace {

// A drag shorter than this (Manhattan length, pixels) is still a click.
constexpr int kClickSlack = 20;

}  // namespace

ImageZoom::ImageZoom(QWidget* parent) : QLabel(parent) {}

bool ImageZoom::setUp(const QImage* source, int areaWidth, int areaHeight, int regionWidth,
                      int regionHeight, int windowWidth, int windowHeight, int centreX, int centreY,
                      int offsetX, int offsetY) {
    if (std::min({areaWidth, areaHeight, regionWidth, regionHeight, windowWidth, windowHeight,
                  centreX, centreY, offsetX, offsetY}) < 0) {
        return false;
    }
    m_source = source;
    m_areaWidth = areaWidth;
    m_areaHeight = areaHeight;
    // With the values checked above and the window clamped to the area, neither fails.
    setSize(regionWidth, regionHeight, windowWidth, windowHeight);
    setCentre(centreX, centreY);
    m_offsetX = offsetX;
    m_offsetY = offsetY;
    update();
    return true;
}

bool ImageZoom::setSize(int regionWidth, int regionHeight, int windowWidth, int windowHeight) {
    if (std::min({regionWidth, regionHeight, windowWidth, windowHeight}) < 0) {
        return false;
    }
    m_regionWidth = std::min(regionWidth, m_areaWidth);
    m_regionHeight = std::min(regionHeight, m_areaHeight);
    m_windowWidth = std::min(windowWidth, m_areaWidth);
    m_windowHeight = std::min(windowHeight, m_areaHeight);
    setFixedSize(m_windowWidth, m_windowHeight);
    return true;
}

bool ImageZoom::setCentre(int x, int y) {
    const int halfWidth = m_windowWidth / 2;
    const int halfHeight = m_windowHeight / 2;
    if (x < 0 || y < 0 || halfWidth > m_areaWidth - halfWidth ||
        halfHeight > m_areaHeight - halfHeight) {
        return false;
    }
    // The upper bounds leave room for the wider half of an odd window.
    m_centreX = std::clamp(x, halfWidth, m_areaWidth - (m_windowWidth - halfWidth));
    m_centreY = std::clamp(y, halfHeight, m_areaHeight - (m_windowHeight - halfHeight));
    move(m_centreX - halfWidth, m_centreY - halfHeight);
    return true;
}

void ImageZoom::paintEvent(QPaintEvent*) {
    if (m_source == nullptr || m_source->isNull()) {
        return;
    }
    const int enlargedWidth = m_areaWidth + 2 * m_offsetX;
    const int enlargedHeight = m_areaHeight + 2 * m_offsetY;
    if (enlargedWidth <= 0 || enlargedHeight <= 0) {
        return;
    }
    // The displayed picture is the source enlarged to enlargedWidth x enlargedHeight, of which
    // the area starting at the offsets is shown.
    const double scaleX = static_cast<double>(m_source->width()) / enlargedWidth;
    const double scaleY = static_cast<double>(m_source->height()) / enlargedHeight;
    const int left = m_centreX - m_regionWidth / 2 + m_offsetX;
    const int top = m_centreY - m_regionHeight / 2 + m_offsetY;
    const QRect region(static_cast<int>(left * scaleX), static_cast<int>(top * scaleY),
                       static_cast<int>(m_regionWidth * scaleX),
                       static_cast<int>(m_regionHeight * scaleY));
    const QImage magnified = m_source->copy(region).scaled(
        m_windowWidth, m_windowHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), magnified);
}

void ImageZoom::mousePressEvent(QMouseEvent* event) {
    m_moved = false;
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressPosition = event->position().toPoint();
    }
}

void ImageZoom::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    // The widget moves with the pointer, so the pointer stays at the same offset from the press.
    const QPoint shift = event->position().toPoint() - m_pressPosition;
    if (m_moved) {
        setCentre(m_centreX + shift.x(), m_centreY + shift.y());
    } else if (shift.manhattanLength() > kClickSlack) {
        m_moved = true;
    }
}

void ImageZoom::mouseReleaseEvent(QMouseEvent*) {
    if (!m_moved) {
        hide();
    }
    m_dragging = false;
}

}  // namespace hv
