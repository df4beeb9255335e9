#include "ToolIcon.h"

#include <QPainter>
#include <QPolygonF>

namespace resourcegen {

namespace {

const QColor kOutline(60, 62, 72);

QImage blank() {
    QImage image(ToolIcon::kSize, ToolIcon::kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

QImage ToolIcon::chooseImage() {
    QImage image = blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Frame: outline on the pixel centres 2.5 to 21.5, so it covers columns 2 to 21 exactly.
    const QRectF frame(2.5, 4.5, 19, 15);
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRect(frame);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 200, 240));
    painter.drawRect(QRectF(4, 6, 16, 12));  // sky
    painter.setBrush(QColor(70, 160, 70));
    painter.drawPolygon(
        QPolygonF({{4, 18}, {4, 15}, {9, 10}, {14, 15}, {16, 13}, {20, 17}, {20, 18}}));  // hills
    painter.setBrush(QColor(250, 200, 40));
    painter.drawEllipse(QPointF(16.5, 9.5), 2, 2);  // sun
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage ToolIcon::chooseFolder() {
    QImage image = blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor edge(150, 110, 30);
    painter.setPen(QPen(edge, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    // The back with its tab, then the front flap leaning forward.
    painter.setBrush(QColor(225, 175, 60));
    painter.drawPolygon(
        QPolygonF({{2.5, 19.5}, {2.5, 4.5}, {9.5, 4.5}, {11.5, 6.5}, {20.5, 6.5}, {20.5, 19.5}}));
    painter.setBrush(QColor(248, 208, 95));
    painter.drawPolygon(QPolygonF({{2.5, 19.5}, {5.5, 9.5}, {22.5, 9.5}, {19.5, 19.5}}));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace resourcegen
