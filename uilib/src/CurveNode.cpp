#include "CurveNode.h"

#include <QPainter>
#include <QRadialGradient>
#include <locale>
#include <sstream>

#include "GammaView.h"

namespace {

const QRectF kBody(-2, -2, 4, 4);
// The body with the outline's pen around it.
const QRectF kBounds(-3, -3, 6, 6);
constexpr double kGradientRadius = 10;
constexpr int kPressedLighter = 120;

}  // namespace

CurveNode::CurveNode(GammaView* view) : m_view(view) {
    setFlag(ItemIsMovable);
    setFlag(ItemSendsGeometryChanges);
    setCacheMode(DeviceCoordinateCache);
    setZValue(-1);
}

QRectF CurveNode::boundingRect() const {
    return kBounds;
}

QPainterPath CurveNode::shape() const {
    QPainterPath path;
    path.addRect(kBody);
    return path;
}

void CurveNode::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::darkGray);
    painter->drawRect(kBody);

    const bool pressed = m_view != nullptr && m_view->isDragging() && m_view->currentNode() == this;
    QRadialGradient gradient(0, 0, kGradientRadius);
    if (pressed) {
        gradient.setCenter(2, 2);
        gradient.setFocalPoint(2, 2);
        gradient.setColorAt(0, QColor(Qt::lightGray).lighter(kPressedLighter));
        gradient.setColorAt(1, QColor(Qt::darkGray).lighter(kPressedLighter));
    } else {
        gradient.setColorAt(0, Qt::lightGray);
        gradient.setColorAt(1, Qt::darkGray);
    }
    painter->setBrush(gradient);
    painter->setPen(QPen(Qt::black, 0));
    painter->drawRect(kBody);
}

QVariant CurveNode::itemChange(GraphicsItemChange change, const QVariant& value) {
    if (m_view != nullptr) {
        if (change == ItemPositionChange) {
            return m_view->constrainedPosition(this, value.toPointF());
        }
        if (change == ItemPositionHasChanged) {
            m_view->nodeMoved(this);
        }
    }
    return QGraphicsItem::itemChange(change, value);
}

std::string CurveNode::dumpCurveNode() const {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "Curve Node.......\n"
        << "<x=" << pos().x() << ", y=" << pos().y() << "; dX=" << m_dX << ", dY=" << m_dY << ">\n";
    return out.str();
}
