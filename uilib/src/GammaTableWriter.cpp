#include "GammaTableWriter.h"

#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <vector>

#include "ReplacingFileWriter.h"

namespace kxui {

namespace {

// Curves are flattened to within half a unit; flattening them this much enlarged keeps the
// polyline within a small fraction of a pixel of the curve, well under one output level.
constexpr double kFlatteningScale = 64;

// The curve as one polyline: its segments follow each other, each starting where the one
// before ended, and every segment runs left to right.
std::vector<QPointF> polyline(const QPainterPath& curve) {
    std::vector<QPointF> points;
    const QTransform enlarge = QTransform::fromScale(kFlatteningScale, kFlatteningScale);
    for (const QPolygonF& part : curve.toSubpathPolygons(enlarge)) {
        for (const QPointF& p : part) {
            const QPointF point = p / kFlatteningScale;
            if (points.empty() || points.back() != point) {
                points.push_back(point);
            }
        }
    }
    return points;
}

int levelAt(double y, const QRectF& area) {
    const double up = (area.y() + area.height() - y) / area.height();
    const long level = std::lround(up * GammaTableWriter::kMaxLevel);
    return static_cast<int>(std::clamp<long>(level, 0, GammaTableWriter::kMaxLevel));
}

}  // namespace

GammaTableWriter::Levels GammaTableWriter::levels(const QPainterPath& curve, const QRectF& area) {
    Levels table{};
    const std::vector<QPointF> points = polyline(curve);
    if (points.size() < 2 || area.width() < 1 || area.height() < 1) {
        for (int k = 0; k < kEntries; ++k) {
            table[k] = k;
        }
        return table;
    }
    size_t segment = 0;
    for (int k = 0; k < kEntries; ++k) {
        const double x = area.x() + area.width() * k / kMaxLevel;
        while (segment + 2 < points.size() && points[segment + 1].x() < x) {
            ++segment;
        }
        const QPointF& a = points[segment];
        const QPointF& b = points[segment + 1];
        double y;
        if (x <= a.x()) {
            y = a.y();
        } else if (x >= b.x() || b.x() - a.x() < 1e-9) {
            y = b.y();
        } else {
            y = a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
        }
        table[k] = levelAt(y, area);
    }
    return table;
}

int GammaTableWriter::write(const std::string& file, const Levels& levels) {
    ReplacingFileWriter writer(file);
    if (writer.stream() == nullptr) {
        return errno != 0 ? errno : EIO;
    }
    for (int k = 0; k < kEntries; ++k) {
        std::fprintf(writer.stream(), "%d.000000 %d\n", k, levels[k]);
    }
    errno = 0;
    if (!writer.commit()) {
        return errno != 0 ? errno : EIO;
    }
    return 0;
}

}  // namespace kxui
