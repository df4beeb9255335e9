#include "StrokeLettering.h"

#include <stdexcept>

namespace resourcegen {

namespace {

QPainterPath polyline(std::initializer_list<QPointF> points, double scale) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first) {
            path.moveTo(point * scale);
            first = false;
        } else {
            path.lineTo(point * scale);
        }
    }
    return path;
}

}  // namespace

double StrokeLettering::advance(QChar letter) {
    switch (letter.unicode()) {
        case ' ':
            return 0.4;
        case 'A':
        case 'V':
            return 0.74;
        case 'O':
            return 0.86;
        case 'E':
        case 'L':
            return 0.54;
        case 'N':
        case 'R':
            return 0.64;
        default:
            throw std::invalid_argument("no stroke letter for '" + QString(letter).toStdString() +
                                        "'");
    }
}

QPainterPath StrokeLettering::letter(QChar letter, double h) {
    const double w = advance(letter);
    QPainterPath path;
    switch (letter.unicode()) {
        case 'A':
            path = polyline({{0, 1}, {w / 2, 0}, {w, 1}}, h);
            path.addPath(polyline({{w * 0.2, 0.66}, {w * 0.8, 0.66}}, h));
            break;
        case 'E':
            path = polyline({{w, 0}, {0, 0}, {0, 1}, {w, 1}}, h);
            path.addPath(polyline({{0, 0.5}, {w * 0.82, 0.5}}, h));
            break;
        case 'L':
            path = polyline({{0, 0}, {0, 1}, {w, 1}}, h);
            break;
        case 'N':
            path = polyline({{0, 1}, {0, 0}, {w, 1}, {w, 0}}, h);
            break;
        case 'O':
            path.addEllipse(QRectF(0, 0, w * h, h));
            break;
        case 'R': {
            // Stem, then the bowl: straight top, a half circle of radius 1/4, back to the stem.
            const double bowl = w - 0.25;
            path = polyline({{0, 1}, {0, 0}, {bowl, 0}}, h);
            path.arcTo(QRectF((bowl - 0.25) * h, 0, 0.5 * h, 0.5 * h), 90, -180);
            path.lineTo(0, 0.5 * h);
            path.addPath(polyline({{bowl - 0.08, 0.5}, {w, 1}}, h));
            break;
        }
        case 'V':
            path = polyline({{0, 0}, {w / 2, 1}, {w, 0}}, h);
            break;
        default:
            break;
    }
    return path;
}

QPainterPath StrokeLettering::path(const QString& text, double capHeight, double gap) {
    QPainterPath path;
    double x = 0;
    for (const QChar character : text) {
        path.addPath(letter(character, capHeight).translated(x, 0));
        x += (advance(character) + gap) * capHeight;
    }
    return path;
}

double StrokeLettering::width(const QString& text, double capHeight, double gap) {
    double cells = 0;
    for (const QChar character : text) {
        cells += advance(character);
    }
    if (!text.isEmpty()) {
        cells += gap * static_cast<double>(text.size() - 1);
    }
    return cells * capHeight;
}

}  // namespace resourcegen
