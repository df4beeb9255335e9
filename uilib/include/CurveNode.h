// A control point of the gamma curve editor. The node sits in the editor's scene; besides its
// scene position it carries that position normalised to the editing area (0..1 on both axes,
// y growing downwards as in the scene).
#pragma once

#include <QGraphicsItem>
#include <string>

#include "kxUiExport.h"

class GammaView;

class KXUI_API CurveNode : public QGraphicsItem {
public:
    static constexpr int kType = 0x10003;

    // The node belongs to view, which keeps it within the editing area and redraws the curve
    // when it moves.
    explicit CurveNode(GammaView* view);

    int type() const override { return kType; }

    int ID() const { return m_id; }
    void setID(int id) { m_id = id; }
    double dX() const { return m_dX; }
    void setDX(double dX) { m_dX = dX; }
    double dY() const { return m_dY; }
    void setDY(double dY) { m_dY = dY; }

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    // One trace entry: "Curve Node.......\n<x=X, y=Y; dX=DX, dY=DY>\n".
    std::string dumpCurveNode() const;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    int m_id = -1;
    double m_dX = 0;
    double m_dY = 0;
    GammaView* m_view;
};
