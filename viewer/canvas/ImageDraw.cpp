#include "ImageDraw.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "ImageZoom.h"
#include "LatencyProbe.h"
#include "SpotSelection.h"

namespace hv {

namespace {

// The frame as bring-up first describes it, and the edge it is displayed at.
constexpr int kFrameEdge = 400;
constexpr int kDisplayEdge = 640;

// The magnifier: a region of 75 x 75 displayed pixels in a 150 x 150 window.
constexpr int kZoomRegion = 75;
constexpr int kZoomWindow = 150;

constexpr Qt::MouseButtons kReadoutButtons = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;

const char* const kUnknownVersion = "?.?.???";
const char* const kLibraryText = "(null)";
const char* const kFlatFieldText = "No Flat Field Correction";

bool isEightBitRgb(int colourMode) {
    return colourMode == 1 || colourMode == 2 || colourMode == 5 || colourMode == 6;
}

}  // namespace

ImageDraw::ImageDraw(QWidget* parent)
    : QLabel(parent),
      m_sw(kFrameEdge),
      m_sh(kFrameEdge),
      m_frameWidth(kFrameEdge),
      m_frameHeight(kFrameEdge),
      m_zoom(new ImageZoom(this)) {
    setObjectName("Image Canvas");
    setGeometry(0, 0, kFrameEdge, kFrameEdge);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(3);
    setAutoFillBackground(false);
    // The canvas paints all of itself (see paintEvent): what lies under it is not painted first,
    // which at 30 frames a second would repaint the frame around the picture each time.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(25, 25, 25, 255));
    setPalette(colours);
    m_zoom->hide();
}

void ImageDraw::setImage(int x, int y, const QImage& image, int sx, int sy, int sw, int sh,
                         const QImage* zoomSource) {
    m_x = x;
    m_y = y;
    m_sx = sx;
    m_sy = sy;
    m_sw = sw;
    m_sh = sh;
    m_image = image;
    m_zoomSource = zoomSource;
    setGeometry(0, 0, sw, sh);
    update();
    show();
}

void ImageDraw::setPixelSource(const uint8_t* rgb, int width, int height, int colourMode) {
    m_pixels = rgb;
    m_frameWidth = width;
    m_frameHeight = height;
    m_colourMode = colourMode;
}

void ImageDraw::setVersionText(const char* text) {
    m_versionText = text;
}

void ImageDraw::setLive(bool on) {
    m_live = on;
}

void ImageDraw::paintEvent(QPaintEvent*) {
    {
        QPainter painter(this);
        const QRect painted(m_x, m_y, std::min(m_sw, m_image.width() - m_sx),
                            std::min(m_sh, m_image.height() - m_sy));
        if (m_image.isNull() || !painted.contains(rect())) {
            painter.fillRect(rect(), palette().color(QPalette::Window));
        }
        painter.drawImage(QPoint(m_x, m_y), m_image, QRect(m_sx, m_sy, m_sw, m_sh));
    }
    if (m_frameTime) {
        if (LatencyProbe* probe = LatencyProbe::active()) {
            probe->painted(*m_frameTime);
        }
        m_frameTime.reset();
    }
}

void ImageDraw::mousePressEvent(QMouseEvent* event) {
    SpotSelection* spots = SpotSelection::instance();
    const bool choosingSpot = spots != nullptr && spots->active();
    if (!m_live && !choosingSpot) {
        QLabel::mousePressEvent(event);
        return;
    }
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (m_live) {
            m_zoom->setUp(m_zoomSource, m_sw, m_sh, kZoomRegion, kZoomRegion, kZoomWindow,
                          kZoomWindow, position.x(), position.y(), m_sx, m_sy);
            m_zoom->show();
            m_zoom->raise();
        }
        if (choosingSpot) {
            spots->choose(position);
        }
    } else if (event->button() == Qt::RightButton) {
        m_zoom->hide();
    }
}

void ImageDraw::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & kReadoutButtons) != kReadoutButtons) {
        return;
    }
    QWidget* topLevel = this;
    while (topLevel->parentWidget() != nullptr) {
        topLevel = topLevel->parentWidget();
    }
    topLevel->setWindowTitle(tr(readoutTitle(event->position()).toUtf8().constData()));
}

// The frame pixel under a display position: the display shows the frame enlarged to 640 pixels.
QString ImageDraw::readoutTitle(QPointF position) const {
    const char* version = m_versionText != nullptr ? m_versionText : kUnknownVersion;
    const double displayPerFrameX = static_cast<double>(kDisplayEdge) / m_frameWidth;
    const double displayPerFrameY = static_cast<double>(kDisplayEdge) / m_frameHeight;
    const int x = static_cast<int>(std::trunc(position.x() / displayPerFrameX));
    const int y = static_cast<int>(std::trunc(position.y() / displayPerFrameY));
    if (x < 0 || y < 0 || x >= m_frameWidth || y >= m_frameHeight) {
        return QString::asprintf("Bexel R%s", version);
    }
    if (!isEightBitRgb(m_colourMode) || m_pixels == nullptr) {
        return QString::asprintf("Bexel(%s)+lib(%s) [%s]:: at [%3d,%3d]", version, kLibraryText,
                                 kFlatFieldText, x, y);
    }
    const uint8_t* pixel = m_pixels + (static_cast<size_t>(y) * m_frameWidth + x) * 3;
    const int r = pixel[0];
    const int g = pixel[1];
    const int b = pixel[2];
    const int luma = static_cast<int>(0.587 * g + 0.299 * r + 0.114 * b);
    return QString::asprintf(
        "Bexel(%s)+lib(%s) [%s]:: at [%3d,%3d] <R = %d, G = %d, B = %d, Y = %d>", version,
        kLibraryText, kFlatFieldText, x, y, r, g, b, luma);
}

}  // namespace hv
