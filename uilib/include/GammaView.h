// The gamma curve editor's drawing area: a graphics view over a grid on which the user places
// and drags control points (CurveNode); a CurveLine draws the curve through them.
//
// The editing area is a rectangle of the scene. A left press within a fortieth of its width of
// a node picks that node, anywhere else it adds one; while the button is held the picked node
// follows the mouse, kept inside the area and between its neighbours. The two end nodes, at
// the area's left and right edges, stay where set-up or reset put them, so the curve always
// spans the whole input range.
//
// With KX_GAMMA_TRACE=1 in the environment every press, move and release appends a dump of
// the nodes to $VELQUIN_ROOT/debug/CurveLog.txt (kept to a bounded size).
#pragma once

#include <QGraphicsView>
#include <QList>
#include <QRect>
#include <memory>
#include <string>

#include "kxUiExport.h"

class CurveLine;
class CurveNode;
class QGraphicsScene;

namespace kxui {
class CurveTrace;
}

class KXUI_API GammaView : public QGraphicsView {
    Q_OBJECT

public:
    static constexpr int kMinGrids = 1;
    static constexpr int kMaxGrids = 64;

    explicit GammaView(QWidget* parent = nullptr);
    ~GammaView() override;

    // Makes the scene with the editing area (x, y, w, h) and starts a curve from the area's
    // lower left to its upper right corner.
    void setupGammaView(int x, int y, int w, int h);
    // Replaces every node and the curve with the two corner nodes of the area (x, y, w, h),
    // which becomes the editing area.
    void reset(int x, int y, int w, int h);
    // The editing area of the last set-up or reset.
    QRect editingArea() const { return m_area; }

    // Inserts node before the first listed node whose x is at least the node's x.
    void addCurveNode(CurveNode* node);
    // The node nearest to p if it is closer than a fortieth of the area's width, else null.
    CurveNode* getClosestNode(const QPointF& p) const;
    QList<CurveNode*> curveNodes() const { return m_nodes; }
    CurveLine* curveLine() const { return m_line; }
    CurveNode* currentNode() const { return m_current; }
    bool isDragging() const { return m_dragging; }

    // Columns and rows of the background grid, each kept within kMinGrids..kMaxGrids.
    void setGrids(int columns, int rows);
    void getGrids(int& columns, int& rows) const;
    void setCurveType(int type) { m_curveType = type; }
    int getCurveType() const { return m_curveType; }

    // Sets every node's normalised position from its scene position.
    void shuffle();
    // Append header and a dump of the curve line or of every node to the trace, when tracing.
    void dumpCurveLines(const std::string& header);
    void dumpCurveNodes(const std::string& header);

    // Where node may go when asked to move to wanted: inside the area, between its neighbours;
    // an end node stays. A node not in the list goes where it is asked.
    QPointF constrainedPosition(const CurveNode* node, const QPointF& wanted) const;
    // Called by a node after it moved: updates its normalised position and the curve.
    void nodeMoved(CurveNode* node);

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // p's position in the area, each axis 0..1; 0 for an area under one pixel.
    QPointF normalised(const QPointF& p) const;
    QPointF insideArea(const QPointF& p) const;
    void clearCurve();

    int m_columns = 6;
    int m_rows = 6;
    int m_curveType = 0x10001;
    bool m_dragging = false;
    CurveNode* m_current = nullptr;
    QList<CurveNode*> m_nodes;
    CurveLine* m_line = nullptr;
    QWidget* m_parent;
    GammaView* m_self;
    QGraphicsScene* m_scene = nullptr;
    QRect m_area;
    std::unique_ptr<kxui::CurveTrace> m_trace;
};
