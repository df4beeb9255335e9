#include "GammaView.h"

#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "CurveLine.h"
#include "CurveNode.h"
#include "CurveTrace.h"

namespace {

const char* const kStyle =
    "color: rgb(25, 25, 25);\nbackground-color: rgb(220, 220, 220);\nfont: 12pt \"Cambria\";";
const QColor kBackground(220, 220, 220);
const QColor kForeground(25, 25, 25);
const QColor kGrid(200, 200, 200);
// A press picks a node closer than this fraction of the area's width.
constexpr double kPickFraction = 1.0 / 40;

}  // namespace

GammaView::GammaView(QWidget* parent)
    : QGraphicsView(parent),
      m_parent(parent),
      m_self(this),
      m_trace(std::make_unique<kxui::CurveTrace>(kxui::CurveTrace::fromEnvironment())) {}

GammaView::~GammaView() {
    // The items go with the scene; nothing may reach them through the list afterwards.
    clearCurve();
    delete std::exchange(m_scene, nullptr);
}

void GammaView::setupGammaView(int x, int y, int w, int h) {
    setObjectName("gammaCurveArea");
    setStyleSheet(kStyle);
    setFrameShape(QFrame::NoFrame);
    setFrameShadow(QFrame::Plain);
    setBackgroundBrush(kBackground);
    // No foreground brush: the view fills it over the items, which would hide the curve.

    clearCurve();
    QGraphicsScene* previous = std::exchange(m_scene, new QGraphicsScene(this));
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    m_scene->setSceneRect(x, y, w, h);
    setScene(m_scene);
    delete previous;

    setCacheMode(CacheBackground);
    setViewportUpdateMode(BoundingRectViewportUpdate);
    setRenderHint(QPainter::Antialiasing);
    setTransformationAnchor(AnchorUnderMouse);
    setTransform(QTransform());
    setWindowTitle("Gamma Curve");

    reset(x, y, w, h);
    dumpCurveNodes("Initialization....\n");
}

void GammaView::clearCurve() {
    // Moving a node reaches the curve line: it goes first, so a node placed while the old
    // items are deleted finds no line.
    CurveLine* line = std::exchange(m_line, nullptr);
    m_current = nullptr;
    m_dragging = false;
    const QList<CurveNode*> nodes = std::exchange(m_nodes, {});
    if (m_scene != nullptr) {
        if (line != nullptr) {
            m_scene->removeItem(line);
        }
        for (CurveNode* node : nodes) {
            m_scene->removeItem(node);
        }
    }
    delete line;
    qDeleteAll(nodes);
}

void GammaView::reset(int x, int y, int w, int h) {
    clearCurve();
    m_area = QRect(x, y, w, h);
    if (m_scene != nullptr) {
        m_scene->setSceneRect(m_area);
        resetCachedContent();
    }
    auto* upper = new CurveNode(this);
    upper->setPos(x + w, y);
    upper->setDX(1);
    upper->setDY(0);
    auto* lower = new CurveNode(this);
    lower->setPos(x, y + h);
    lower->setDX(0);
    lower->setDY(1);
    for (CurveNode* node : {upper, lower}) {
        addCurveNode(node);
        if (m_scene != nullptr) {
            m_scene->addItem(node);
        }
    }
    m_line = new CurveLine(this, lower, upper);
    if (m_scene != nullptr) {
        m_scene->addItem(m_line);
    }
    m_line->calcCurve();
}

void GammaView::addCurveNode(CurveNode* node) {
    const auto at = std::find_if(m_nodes.begin(), m_nodes.end(), [node](const CurveNode* other) {
        return other->pos().x() >= node->pos().x();
    });
    m_nodes.insert(at, node);
}

CurveNode* GammaView::getClosestNode(const QPointF& p) const {
    CurveNode* closest = nullptr;
    double nearest = 0;
    for (CurveNode* node : m_nodes) {
        const QPointF d = node->pos() - p;
        const double distance = std::hypot(d.x(), d.y());
        if (closest == nullptr || distance < nearest) {
            closest = node;
            nearest = distance;
        }
    }
    const double reach =
        (m_scene != nullptr ? m_scene->sceneRect().width() : m_area.width()) * kPickFraction;
    return closest != nullptr && nearest < reach ? closest : nullptr;
}

void GammaView::setGrids(int columns, int rows) {
    m_columns = std::clamp(columns, kMinGrids, kMaxGrids);
    m_rows = std::clamp(rows, kMinGrids, kMaxGrids);
    resetCachedContent();
    viewport()->update();
}

void GammaView::getGrids(int& columns, int& rows) const {
    columns = m_columns;
    rows = m_rows;
}

void GammaView::shuffle() {
    for (CurveNode* node : m_nodes) {
        const QPointF n = normalised(node->pos());
        node->setDX(n.x());
        node->setDY(n.y());
    }
}

void GammaView::dumpCurveLines(const std::string& header) {
    if (!m_trace->enabled()) {
        return;
    }
    m_trace->append(header + (m_line != nullptr ? m_line->dumpCurveLine() : std::string()));
}

void GammaView::dumpCurveNodes(const std::string& header) {
    if (!m_trace->enabled()) {
        return;
    }
    std::string text = header;
    for (const CurveNode* node : m_nodes) {
        text += node->dumpCurveNode();
    }
    m_trace->append(text);
}

QPointF GammaView::normalised(const QPointF& p) const {
    if (m_area.width() < 1 || m_area.height() < 1) {
        return {0, 0};
    }
    return {std::clamp((p.x() - m_area.x()) / m_area.width(), 0.0, 1.0),
            std::clamp((p.y() - m_area.y()) / m_area.height(), 0.0, 1.0)};
}

QPointF GammaView::insideArea(const QPointF& p) const {
    const double right = m_area.x() + std::max(m_area.width(), 0);
    const double bottom = m_area.y() + std::max(m_area.height(), 0);
    return {std::clamp(p.x(), double(m_area.x()), right),
            std::clamp(p.y(), double(m_area.y()), bottom)};
}

QPointF GammaView::constrainedPosition(const CurveNode* node, const QPointF& wanted) const {
    const qsizetype at = m_nodes.indexOf(node);
    if (at < 0) {
        return wanted;
    }
    if (at == 0 || at == m_nodes.size() - 1) {
        return node->pos();
    }
    QPointF p = insideArea(wanted);
    const double left = m_nodes[at - 1]->pos().x();
    const double right = m_nodes[at + 1]->pos().x();
    p.setX(std::clamp(p.x(), left, std::max(left, right)));
    return p;
}

void GammaView::nodeMoved(CurveNode* node) {
    const QPointF n = normalised(node->pos());
    node->setDX(n.x());
    node->setDY(n.y());
    if (m_line != nullptr && m_nodes.contains(node)) {
        m_line->calcCurve();
    }
}

void GammaView::drawBackground(QPainter* painter, const QRectF& rect) {
    QGraphicsView::drawBackground(painter, rect);
    const double x = m_area.x();
    const double y = m_area.y();
    const double w = m_area.width();
    const double h = m_area.height();
    painter->setPen(kGrid);
    for (int i = 1; i < m_columns; ++i) {
        const double at = x + w * i / m_columns;
        painter->drawLine(QPointF(at, y), QPointF(at, y + h));
    }
    for (int j = 1; j < m_rows; ++j) {
        const double at = y + h * j / m_rows;
        painter->drawLine(QPointF(x, at), QPointF(x + w, at));
    }
    painter->drawLine(QPointF(x, y + h), QPointF(x + w, y));
    painter->setPen(kForeground);
}

void GammaView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_scene == nullptr) {
        return;
    }
    const QPointF p = mapToScene(event->position().toPoint());
    m_current = getClosestNode(p);
    if (m_current != nullptr) {
        m_current->setPos(p);
    } else {
        auto* node = new CurveNode(this);
        node->setPos(insideArea(p));
        // A new node goes before the first node right of it, but never outside the end nodes.
        const auto right = std::find_if(m_nodes.begin(), m_nodes.end(), [node](CurveNode* o) {
            return o->pos().x() > node->pos().x();
        });
        qsizetype at = right - m_nodes.begin();
        if (m_nodes.size() >= 2) {
            at = std::clamp<qsizetype>(at, 1, m_nodes.size() - 1);
        }
        m_nodes.insert(at, node);
        m_scene->addItem(node);
        m_current = node;
        if (m_line != nullptr) {
            m_line->calcCurve();
        }
    }
    m_dragging = true;
    m_current->update();
    dumpCurveNodes("Press Event....\n");
}

void GammaView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || m_current == nullptr) {
        return;
    }
    m_current->setPos(mapToScene(event->position().toPoint()));
    dumpCurveNodes("Move Event....\n");
}

void GammaView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging && event->button() != Qt::LeftButton) {
        return;
    }
    dumpCurveNodes("Release Event....\n");
    m_dragging = false;
    if (m_current != nullptr) {
        m_current->update();
    }
}

void GammaView::keyPressEvent(QKeyEvent* event) {
    event->ignore();
}
