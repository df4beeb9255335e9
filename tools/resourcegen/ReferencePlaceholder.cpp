#include "ReferencePlaceholder.h"

#include <QPainter>

namespace resourcegen {

QImage ReferencePlaceholder::draw() {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kSize / 2.0, kSize / 2.0);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(85, 85, 90), 2));
    for (const double radius : {30.0, 60.0, 90.0}) {
        painter.drawEllipse(centre, radius, radius);
    }
    painter.setPen(QPen(QColor(70, 70, 75), 1));
    painter.drawLine(QPointF(centre.x(), 12), QPointF(centre.x(), kSize - 12));
    painter.drawLine(QPointF(12, centre.y()), QPointF(kSize - 12, centre.y()));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 120, 125));
    painter.drawEllipse(centre, 10, 10);
    painter.setBrush(QColor(200, 200, 205));
    painter.drawEllipse(centre, 5, 5);
    painter.end();
    return image;
}

}  // namespace resourcegen
