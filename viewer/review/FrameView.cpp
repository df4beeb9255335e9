#include "FrameView.h"

#include <QPainter>

namespace hv {

namespace {

// The recordings' picture size.
constexpr QSize kRecordingSize(400, 400);

}  // namespace

FrameView::FrameView(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted here, frame or black.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameView::setFrame(const QImage& frame) {
    m_frame = frame;
    update();
}

void FrameView::clear() {
    m_frame = QImage();
    update();
}

QSize FrameView::sizeHint() const {
    return m_frame.isNull() ? kRecordingSize : m_frame.size();
}

void FrameView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull()) {
        return;
    }
    QRect target(QPoint(), m_frame.size().scaled(size(), Qt::KeepAspectRatio));
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}

}  // namespace hv
