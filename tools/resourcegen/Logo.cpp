#include "Logo.h"

#include <QPainterPath>
#include <cmath>

#include "StrokeLettering.h"

namespace resourcegen {

namespace {

const QColor kIrisColour(60, 160, 175);
const QColor kPupilColour(20, 22, 28);
const QColor kCatchLight(235, 245, 250);

void strokeText(QPainter& painter, const QString& text, QPointF topLeft, double capHeight,
                const QColor& colour) {
    QPen pen(colour, StrokeLettering::penWidth(capHeight), Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(StrokeLettering::path(text, capHeight).translated(topLeft));
}

QImage transparentImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

void Logo::drawMark(QPainter& painter, QPointF centre, double radius, const QColor& ring) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(kInk);
    painter.drawEllipse(centre, radius * 0.70, radius * 0.70);
    painter.setBrush(kIrisColour);
    painter.drawEllipse(centre, radius * 0.44, radius * 0.44);
    painter.setBrush(kPupilColour);
    painter.drawEllipse(centre, radius * 0.22, radius * 0.22);
    painter.setBrush(kCatchLight);
    const QPointF light = centre + QPointF(-radius * 0.2, -radius * 0.2);
    painter.drawEllipse(light, radius * 0.1, radius * 0.1);
}

QImage Logo::draw(double scale) {
    QImage image = transparentImage(static_cast<int>(std::lround(kWidth * scale)),
                                    static_cast<int>(std::lround(kHeight * scale)));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    drawMark(painter, {45, 45}, 38, kTeal);

    constexpr double kNameHeight = 22;
    constexpr double kTextLeft = 98;
    const double nameWidth = StrokeLettering::width("NELVORA", kNameHeight);
    strokeText(painter, "NELVORA", {kTextLeft, 16}, kNameHeight, kInk);
    painter.setPen(QPen(kTeal, 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(kTextLeft - 2, 50), QPointF(kTextLeft + nameWidth + 2, 50));
    strokeText(painter, "ORLO", {kTextLeft, 58}, 16, kTeal);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage Logo::applicationIcon() {
    QImage image = transparentImage(kIconSize, kIconSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kTeal);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 48, 48);

    drawMark(painter, {128, 104}, 66, kCatchLight);

    constexpr double kCapHeight = 36;
    const double textWidth = StrokeLettering::width("ORLO", kCapHeight);
    strokeText(painter, "ORLO", {128 - textWidth / 2, 188}, kCapHeight, kCatchLight);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace resourcegen
