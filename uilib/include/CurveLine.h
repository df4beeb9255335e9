// The gamma curve: a path through the editor's nodes in x order, drawn as cubic segments of
// up to four nodes each. The path is computed when a node moves (calcCurve), never while
// painting.
#pragma once

#include <QGraphicsItem>
#include <QPainterPath>
#include <QPointF>
#include <QVector>
#include <string>

#include "kxUiExport.h"

class CurveNode;
class GammaView;

class KXUI_API CurveLine : public QGraphicsItem {
public:
    static constexpr int kType = 0x10004;

    // The line borrows its nodes and its view; the view's node list gives the curve's points.
    CurveLine(GammaView* view, CurveNode* source, CurveNode* destination);

    int type() const override { return kType; }

    CurveNode* srcNode() const { return m_source; }
    void setSrcNode(CurveNode* node) { m_source = node; }
    CurveNode* dstNode() const { return m_destination; }
    void setDstNode(CurveNode* node) { m_destination = node; }

    // Resizes the sample points to n when n differs from the number stored.
    void setSamplePointsSize(int n);
    int getSamplePointsSize() const { return m_sampleCount; }
    QVector<QPointF> samplePoints() const { return m_samples; }

    // The curve as last computed, in scene coordinates.
    QPainterPath path() const { return m_path; }

    // The path's bounds, widened by the pen.
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    // Rebuilds the path from the view's nodes and schedules a repaint of what changed. Fewer
    // than two nodes keep the path as it is.
    void calcCurve();

    // One trace entry: "Curve Line.......\n<(x0=.., y0=..), (x1=.., y1=..); (dX0=.., dY0=..),
    // (dX1=.., dY1=..)>\n" for the source (0) and destination (1) nodes.
    std::string dumpCurveLine() const;

private:
    CurveNode* m_source;
    CurveNode* m_destination;
    int m_sampleCount = 256;
    QVector<QPointF> m_samples;
    QPainterPath m_path;
    GammaView* m_view;
};
