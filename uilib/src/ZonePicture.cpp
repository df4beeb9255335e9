#include "ZonePicture.h"

#include <QPainter>
#include <QSpinBox>

namespace kxui {

namespace {

constexpr int kQuarter = ZonePicture::kSide / 4;
const QColor kBackground(40, 40, 40);
const QColor kZoneLine(170, 170, 170);
const QColor kSpot(220, 170, 60);

}  // namespace

ZonePicture::ZonePicture(QWidget* parent) : QWidget(parent) {
    setObjectName("zonePicture");
    setFixedSize(kSide, kSide);
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString("weightBox%1").arg(i, 2, 10, QLatin1Char('0')));
        box->setRange(0, MeteringRecord::kMaxWeight);
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
        box->setAlignment(Qt::AlignCenter);
        m_boxes[i] = box;
    }
    placeBoxes(MeteringRecord().zones);
}

void ZonePicture::showLayout(int type, bool spot) {
    m_type = type;
    m_spot = spot;
    for (QSpinBox* box : m_boxes) {
        box->setVisible(!spot);
    }
    update();
}

void ZonePicture::placeBoxes(const MeteringZone (&zones)[MeteringRecord::kZones]) {
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        const MeteringZone& zone = zones[i];
        m_boxes[i]->setGeometry(zone.left, zone.top, zone.right - zone.left,
                                zone.bottom - zone.top);
    }
}

void ZonePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), kBackground);
    painter.setPen(QPen(kZoneLine, 2));
    painter.drawRect(1, 1, kSide - 2, kSide - 2);
    if (m_spot) {
        painter.setBrush(kSpot);
        painter.drawEllipse(QPoint(kSide / 2, kSide / 2), kQuarter / 2, kQuarter / 2);
        return;
    }
    if (m_type == 0) {
        for (int line = 1; line < 4; ++line) {
            painter.drawLine(line * kQuarter, 0, line * kQuarter, kSide);
            painter.drawLine(0, line * kQuarter, kSide, line * kQuarter);
        }
        return;
    }
    // Thirteen zones: the middle half in a 3 x 3 grid, the rest in four corner zones.
    const int inner = kSide / 2;
    const int third = inner / 3;
    const int start = kQuarter;
    painter.drawRect(start, start, inner, inner);
    for (int line = 1; line < 3; ++line) {
        painter.drawLine(start + line * third, start, start + line * third, start + inner);
        painter.drawLine(start, start + line * third, start + inner, start + line * third);
    }
    painter.drawLine(kSide / 2, 0, kSide / 2, start);
    painter.drawLine(kSide / 2, start + inner, kSide / 2, kSide);
    painter.drawLine(0, kSide / 2, start, kSide / 2);
    painter.drawLine(start + inner, kSide / 2, kSide, kSide / 2);
}

}  // namespace kxui
