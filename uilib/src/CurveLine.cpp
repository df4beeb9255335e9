#include "CurveLine.h"

#include <QPainter>
#include <locale>
#include <sstream>

#include "CurveNode.h"
#include "GammaView.h"

namespace {

constexpr double kPenWidth = 1;

QPointF midpoint(const QPointF& a, const QPointF& b) {
    return (a + b) / 2;
}

}  // namespace

CurveLine::CurveLine(GammaView* view, CurveNode* source, CurveNode* destination)
    : m_source(source), m_destination(destination), m_samples(m_sampleCount), m_view(view) {}

void CurveLine::setSamplePointsSize(int n) {
    if (n != m_sampleCount && n >= 0) {
        m_sampleCount = n;
        m_samples.resize(n);
    }
}

QRectF CurveLine::boundingRect() const {
    const double half = kPenWidth / 2 + 1;
    return m_path.boundingRect().adjusted(-half, -half, half, half);
}

void CurveLine::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(Qt::black, kPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->drawPath(m_path);
}

void CurveLine::calcCurve() {
    if (m_view == nullptr) {
        return;
    }
    const QList<CurveNode*> nodes = m_view->curveNodes();
    const qsizetype n = nodes.size();
    if (n < 2) {
        return;
    }
    QList<QPointF> p;
    for (const CurveNode* node : nodes) {
        p.append(node->pos());
    }
    QPainterPath path;
    if (n == 2) {
        path.moveTo(p[0]);
        path.lineTo(p[1]);
    } else {
        // Segments of up to four nodes, each starting a subpath at its first node.
        for (qsizetype i = 0; i < n; i += 3) {
            const qsizetype rest = n - 1 - i;
            if (rest == 0) {
                break;
            }
            path.moveTo(p[i]);
            if (rest >= 3) {
                path.cubicTo(p[i + 1], p[i + 2], p[i + 3]);
            } else if (rest == 2) {
                path.cubicTo(p[i + 1], midpoint(p[i + 1], p[i + 2]), p[i + 2]);
            } else {
                path.cubicTo(p[i] * 2 / 3 + p[i + 1] / 3, p[i] / 3 + p[i + 1] * 2 / 3, p[i + 1]);
            }
        }
    }
    prepareGeometryChange();
    m_path = path;
    update();
}

std::string CurveLine::dumpCurveLine() const {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "Curve Line.......\n";
    if (m_source == nullptr || m_destination == nullptr) {
        return out.str();
    }
    const QPointF a = m_source->pos();
    const QPointF b = m_destination->pos();
    out << "<(x0=" << a.x() << ", y0=" << a.y() << "), (x1=" << b.x() << ", y1=" << b.y()
        << "); (dX0=" << m_source->dX() << ", dY0=" << m_source->dY()
        << "), (dX1=" << m_destination->dX() << ", dY1=" << m_destination->dY() << ")>\n";
    return out.str();
}
