#include "ButtonIcon.h"

#include <QPolygonF>

namespace resourcegen {

namespace {

const QColor kBlue(45, 100, 170);
const QColor kCharcoal(55, 55, 62);
const QColor kSlate(70, 82, 98);
const QColor kTealDisc(30, 120, 120);

constexpr double kCentre = ButtonIcon::kSize / 2.0;
constexpr double kRadius = 30;
constexpr double kRim = 2.5;

}  // namespace

QImage ButtonIcon::withGlyph(const QColor& disc, const std::function<void(QPainter&)>& glyph) {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc.darker(135));
    painter.drawEllipse(QPointF(kCentre, kCentre), kRadius, kRadius);
    painter.setBrush(disc);
    painter.drawEllipse(QPointF(kCentre, kCentre), kRadius - kRim, kRadius - kRim);
    glyph(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage ButtonIcon::about() {
    return withGlyph(kBlue, [](QPainter& painter) {
        painter.setBrush(kGlyph);
        painter.drawEllipse(QPointF(kCentre, 19.5), 4.5, 4.5);
        painter.drawRoundedRect(QRectF(kCentre - 4, 27, 8, 20), 2, 2);
    });
}

QImage ButtonIcon::record() {
    return withGlyph(kCharcoal, [](QPainter& painter) {
        painter.setBrush(kRecordRed);
        painter.drawEllipse(QPointF(kCentre, kCentre), 14, 14);
    });
}

QImage ButtonIcon::stop() {
    return withGlyph(kCharcoal, [](QPainter& painter) {
        painter.setBrush(kRecordRed);
        painter.drawRoundedRect(QRectF(kCentre - 12, kCentre - 12, 24, 24), 3, 3);
    });
}

QImage ButtonIcon::handle(bool up) {
    return withGlyph(kSlate, [up](QPainter& painter) {
        painter.setBrush(kGlyph);
        const double tip = up ? 17 : 47;
        const double base = up ? 41 : 23;
        painter.drawPolygon(
            QPolygonF({{kCentre, tip}, {kCentre + 15, base}, {kCentre - 15, base}}));
    });
}

QImage ButtonIcon::handleUp() {
    return handle(true);
}

QImage ButtonIcon::handleDown() {
    return handle(false);
}

QImage ButtonIcon::review() {
    return withGlyph(kTealDisc, [](QPainter& painter) {
        // The photograph behind, as an outline, and the one in front with hills and a sun.
        painter.setPen(QPen(kGlyph, 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(17.5, 19.5, 24, 18));
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGlyph);
        painter.drawRect(QRectF(22, 25, 26, 20));
        painter.setBrush(kTealDisc);
        painter.drawPolygon(QPolygonF({{24, 43}, {31, 34}, {36, 39}, {40, 35}, {46, 43}}));
        painter.drawEllipse(QPointF(41, 30), 2.5, 2.5);
    });
}

QImage ButtonIcon::photo() {
    return withGlyph(kCharcoal, [](QPainter& painter) {
        painter.setBrush(kGlyph);
        painter.drawRoundedRect(QRectF(24, 20, 16, 8), 2, 2);   // prism housing
        painter.drawRoundedRect(QRectF(14, 24, 36, 24), 4, 4);  // body
        painter.setBrush(kCharcoal);
        painter.drawEllipse(QPointF(kCentre, 36.5), 8.5, 8.5);  // lens
        painter.setBrush(kGlyph);
        painter.drawEllipse(QPointF(kCentre, 36.5), 4.5, 4.5);
        painter.setBrush(kRecordRed);
        painter.drawEllipse(QPointF(44, 29), 1.8, 1.8);  // shutter light
    });
}

}  // namespace resourcegen
