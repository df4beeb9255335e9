// The gamma curve editor's view: picking and adding nodes, the order of the node list, the
// curve through 2 to 6 nodes, clamping and pinning while dragging, reset in the middle of a
// drag and what one change costs in repaints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainterPath>
#include <QTest>
#include <cmath>
#include <vector>

#include "CurveLine.h"
#include "CurveNode.h"
#include "GammaView.h"
#include "ScopedEnv.h"

namespace {

// The editing area of most cases: its origin is not the scene's.
constexpr int kX = 50;
constexpr int kY = 30;
constexpr int kW = 200;
constexpr int kH = 100;

class GammaEditor : public testing::Test {
protected:
    void SetUp() override {
        view.resize(500, 400);
        view.setupGammaView(kX, kY, kW, kH);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    void mouse(QEvent::Type type, const QPointF& scene) {
        const QPoint at = view.mapFromScene(scene);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &event);
    }
    void press(const QPointF& p) { mouse(QEvent::MouseButtonPress, p); }
    void move(const QPointF& p) { mouse(QEvent::MouseMove, p); }
    void release(const QPointF& p) { mouse(QEvent::MouseButtonRelease, p); }
    void click(const QPointF& p) {
        press(p);
        release(p);
    }

    std::vector<QPointF> positions() const {
        std::vector<QPointF> all;
        for (const CurveNode* node : view.curveNodes()) {
            all.push_back(node->pos());
        }
        return all;
    }

    ScopedEnv noTrace{"KX_GAMMA_TRACE", nullptr};
    GammaView view;
};

TEST_F(GammaEditor, SetUpStartsWithTheTwoCornersJoinedByALine) {
    EXPECT_EQ(view.objectName(), "gammaCurveArea");
    EXPECT_EQ(view.windowTitle(), "Gamma Curve");
    EXPECT_EQ(view.scene()->sceneRect(), QRectF(kX, kY, kW, kH));
    EXPECT_EQ(view.getCurveType(), 0x10001);
    const QList<CurveNode*> nodes = view.curveNodes();
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes[0]->pos(), QPointF(kX, kY + kH));
    EXPECT_EQ(nodes[0]->dX(), 0);
    EXPECT_EQ(nodes[0]->dY(), 1);
    EXPECT_EQ(nodes[1]->pos(), QPointF(kX + kW, kY));
    EXPECT_EQ(nodes[1]->dX(), 1);
    EXPECT_EQ(nodes[1]->dY(), 0);
    EXPECT_EQ(nodes[0]->type(), 0x10003);
    EXPECT_EQ(nodes[0]->ID(), -1);
    CurveLine* line = view.curveLine();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->type(), 0x10004);
    EXPECT_EQ(line->srcNode(), nodes[0]);
    EXPECT_EQ(line->dstNode(), nodes[1]);
    EXPECT_EQ(line->getSamplePointsSize(), 256);
    EXPECT_EQ(line->samplePoints().size(), 256);
    line->setSamplePointsSize(10);
    EXPECT_EQ(line->samplePoints().size(), 10);
}

TEST_F(GammaEditor, APressWithinAFortiethOfTheWidthPicksTheNodeElsewhereAddsOne) {
    // The reach is 200 / 40 = 5 scene units.
    click({150, 80});
    ASSERT_EQ(view.curveNodes().size(), 3);
    CurveNode* middle = view.curveNodes()[1];

    click({153, 84});  // 5 away: just outside
    EXPECT_EQ(view.curveNodes().size(), 4);
    view.reset(kX, kY, kW, kH);
    click({150, 80});
    middle = view.curveNodes()[1];
    click({153, 83});  // about 4.2 away: picked and moved
    ASSERT_EQ(view.curveNodes().size(), 3);
    EXPECT_EQ(view.curveNodes()[1], middle);
    EXPECT_EQ(middle->pos(), QPointF(153, 83));
    EXPECT_DOUBLE_EQ(middle->dX(), 103.0 / kW);
    EXPECT_DOUBLE_EQ(middle->dY(), 53.0 / kH);
    // Near a corner the corner is picked, and it stays where it is.
    click({kX + kW - 3, kY + 2});
    EXPECT_EQ(view.curveNodes().size(), 3);
    EXPECT_EQ(view.curveNodes().back()->pos(), QPointF(kX + kW, kY));
}

TEST_F(GammaEditor, OnlyTheLeftButtonActs) {
    const QPoint at = view.mapFromScene(QPointF(150, 80));
    QMouseEvent right(QEvent::MouseButtonPress, at, view.viewport()->mapToGlobal(at),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &right);
    EXPECT_EQ(view.curveNodes().size(), 2);
    EXPECT_FALSE(view.isDragging());
}

TEST_F(GammaEditor, NodesAreInsertedInXOrder) {
    click({200, 50});
    click({100, 100});
    click({150, 70});
    EXPECT_EQ(positions(),
              (std::vector<QPointF>{{50, 130}, {100, 100}, {150, 70}, {200, 50}, {250, 30}}));

    // Direct insertion: before the first node at or right of the new one.
    auto* first = new CurveNode(&view);
    first->setPos(10, 0);
    auto* last = new CurveNode(&view);
    last->setPos(300, 0);
    auto* tie = new CurveNode(&view);
    tie->setPos(150, 10);
    for (CurveNode* node : {first, last, tie}) {
        view.scene()->addItem(node);
        view.addCurveNode(node);
    }
    const QList<CurveNode*> nodes = view.curveNodes();
    ASSERT_EQ(nodes.size(), 8);
    EXPECT_EQ(nodes.front(), first);
    EXPECT_EQ(nodes.back(), last);
    EXPECT_EQ(nodes[3], tie);
    EXPECT_EQ(nodes[4]->pos(), QPointF(150, 70));
}

TEST_F(GammaEditor, ANodeAddedAtAnEdgeStaysBetweenTheEndNodes) {
    click({kX - 20, 80});       // left of the area: on its left edge, after the corner
    click({kX + kW + 20, 80});  // right of it: on its right edge, before the corner
    const std::vector<QPointF> at = positions();
    ASSERT_EQ(at.size(), 4u);
    EXPECT_EQ(at[0], QPointF(kX, kY + kH));
    EXPECT_EQ(at[1], QPointF(kX, 80));
    EXPECT_EQ(at[2], QPointF(kX + kW, 80));
    EXPECT_EQ(at[3], QPointF(kX + kW, kY));
}

TEST_F(GammaEditor, TheCurveThroughTwoToSixNodes) {
    using E = QPainterPath::ElementType;
    struct Element {
        E type;
        QPointF at;
    };
    const QPointF p0(50, 130);
    const QPointF end(250, 30);
    const std::vector<QPointF> inner = {{90, 110}, {130, 60}, {170, 90}, {210, 40}};
    auto mid = [](QPointF a, QPointF b) { return (a + b) / 2; };

    // Expected paths by node count, written out.
    std::vector<std::vector<Element>> expected(7);
    expected[2] = {{E::MoveToElement, p0}, {E::LineToElement, end}};
    {
        const QPointF p1 = inner[0];
        expected[3] = {{E::MoveToElement, p0},
                       {E::CurveToElement, p1},
                       {E::CurveToDataElement, mid(p1, end)},
                       {E::CurveToDataElement, end}};
    }
    {
        const QPointF p1 = inner[0], p2 = inner[1];
        expected[4] = {{E::MoveToElement, p0},
                       {E::CurveToElement, p1},
                       {E::CurveToDataElement, p2},
                       {E::CurveToDataElement, end}};
    }
    {
        // The last segment is straight: its control points lie at a third and two thirds
        // of the way from p3 to the end.
        const QPointF p1 = inner[0], p2 = inner[1], p3 = inner[2];
        expected[5] = {{E::MoveToElement, p0},
                       {E::CurveToElement, p1},
                       {E::CurveToDataElement, p2},
                       {E::CurveToDataElement, p3},
                       {E::MoveToElement, p3},
                       {E::CurveToElement, QPointF(170 + 80.0 / 3, 70)},
                       {E::CurveToDataElement, QPointF(170 + 160.0 / 3, 50)},
                       {E::CurveToDataElement, end}};
    }
    {
        const QPointF p1 = inner[0], p2 = inner[1], p3 = inner[2], p4 = inner[3];
        expected[6] = {{E::MoveToElement, p0},
                       {E::CurveToElement, p1},
                       {E::CurveToDataElement, p2},
                       {E::CurveToDataElement, p3},
                       {E::MoveToElement, p3},
                       {E::CurveToElement, p4},
                       {E::CurveToDataElement, mid(p4, end)},
                       {E::CurveToDataElement, end}};
    }

    for (int n = 2; n <= 6; ++n) {
        view.reset(kX, kY, kW, kH);
        for (int i = 0; i < n - 2; ++i) {
            click(inner[i]);
        }
        ASSERT_EQ(view.curveNodes().size(), n);
        const QPainterPath path = view.curveLine()->path();
        ASSERT_EQ(path.elementCount(), static_cast<int>(expected[n].size())) << n << " nodes";
        for (int k = 0; k < path.elementCount(); ++k) {
            const QPainterPath::Element e = path.elementAt(k);
            EXPECT_EQ(e.type, expected[n][k].type) << n << " nodes, element " << k;
            EXPECT_NEAR(e.x, expected[n][k].at.x(), 1e-9) << n << " nodes, element " << k;
            EXPECT_NEAR(e.y, expected[n][k].at.y(), 1e-9) << n << " nodes, element " << k;
        }
        const QRectF bounds = view.curveLine()->boundingRect();
        EXPECT_TRUE(bounds.contains(path.boundingRect())) << n << " nodes";
        EXPECT_TRUE(bounds.contains(QRectF(kX, kY, kW, kH))) << n << " nodes";
    }
}

TEST_F(GammaEditor, DraggedNodesStayInsideAnAreaWithAnOffsetOrigin) {
    press({150, 80});
    CurveNode* node = view.currentNode();
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(view.isDragging());
    EXPECT_DOUBLE_EQ(node->dX(), 0.5);
    EXPECT_DOUBLE_EQ(node->dY(), 0.5);

    move({150 + 1000, 80 + 1000});
    EXPECT_EQ(node->pos(), QPointF(kX + kW, kY + kH));
    EXPECT_EQ(node->dX(), 1);
    EXPECT_EQ(node->dY(), 1);
    move({-1000, -1000});
    EXPECT_EQ(node->pos(), QPointF(kX, kY));
    EXPECT_EQ(node->dX(), 0);
    EXPECT_EQ(node->dY(), 0);
    move({100, 55});
    EXPECT_EQ(node->pos(), QPointF(100, 55));
    EXPECT_DOUBLE_EQ(node->dX(), 0.25);
    EXPECT_DOUBLE_EQ(node->dY(), 0.25);
    release({100, 55});
    EXPECT_FALSE(view.isDragging());
    move({120, 60});  // without the button: nothing moves
    EXPECT_EQ(node->pos(), QPointF(100, 55));
}

TEST_F(GammaEditor, ADraggedNodeStopsAtItsNeighboursAndTheEndNodesStay) {
    click({100, 100});
    click({150, 70});
    click({200, 50});
    press({150, 70});
    move({230, 60});
    EXPECT_EQ(view.currentNode()->pos(), QPointF(200, 60));
    move({20, 60});
    EXPECT_EQ(view.currentNode()->pos(), QPointF(100, 60));
    release({20, 60});
    std::vector<QPointF> at = positions();
    for (size_t i = 1; i < at.size(); ++i) {
        EXPECT_LE(at[i - 1].x(), at[i].x()) << i;
    }
    // The path runs left to right: every segment ends right of where it starts.
    const QPainterPath path = view.curveLine()->path();
    for (int k = 1; k < path.elementCount(); ++k) {
        EXPECT_LE(path.elementAt(k - 1).x, path.elementAt(k).x) << k;
    }

    press({kX + kW, kY});
    move({150, 100});
    release({150, 100});
    press({kX, kY + kH});
    move({150, 40});
    release({150, 40});
    at = positions();
    EXPECT_EQ(at.front(), QPointF(kX, kY + kH));
    EXPECT_EQ(at.back(), QPointF(kX + kW, kY));
    EXPECT_EQ(view.curveNodes().size(), 5);
}

TEST_F(GammaEditor, ResetDuringADragEndsTheDragSafely) {
    press({150, 80});
    move({160, 90});
    view.reset(kX, kY, kW, kH);
    EXPECT_FALSE(view.isDragging());
    EXPECT_EQ(view.currentNode(), nullptr);
    move({170, 95});
    release({170, 95});
    EXPECT_EQ(view.curveNodes().size(), 2);

    press({150, 80});
    view.setupGammaView(0, 0, 100, 50);  // a new scene in the middle of a drag
    move({40, 20});
    release({40, 20});
    EXPECT_EQ(view.curveNodes().size(), 2);
    EXPECT_EQ(view.editingArea(), QRect(0, 0, 100, 50));
    EXPECT_EQ(view.curveNodes().back()->pos(), QPointF(100, 0));
    EXPECT_EQ(view.scene()->items().size(), 3);
}

TEST_F(GammaEditor, AreasUnderOnePixelGiveZeroesNotNaN) {
    view.reset(kX, kY, 0, 0);
    click({kX + 10, kY + 10});
    ASSERT_EQ(view.curveNodes().size(), 3);
    const CurveNode* added = view.curveNodes()[1];
    EXPECT_EQ(added->pos(), QPointF(kX, kY));
    EXPECT_EQ(added->dX(), 0);
    EXPECT_EQ(added->dY(), 0);
    view.shuffle();
    for (const CurveNode* node : view.curveNodes()) {
        EXPECT_EQ(node->dX(), 0);
        EXPECT_EQ(node->dY(), 0);
    }

    GammaView bare;  // never set up: no scene, no nodes
    EXPECT_EQ(bare.getClosestNode({0, 0}), nullptr);
    bare.shuffle();
    bare.dumpCurveNodes("none\n");
    EXPECT_TRUE(bare.curveNodes().isEmpty());
    EXPECT_EQ(bare.curveLine(), nullptr);
}

TEST_F(GammaEditor, ShuffleKeepsEveryValueBetweenZeroAndOne) {
    click({100, 105});
    for (CurveNode* node : view.curveNodes()) {
        node->setDX(100);
        node->setDY(-7);
    }
    view.shuffle();
    const QList<CurveNode*> nodes = view.curveNodes();
    ASSERT_EQ(nodes.size(), 3);
    EXPECT_EQ(nodes[0]->dX(), 0);
    EXPECT_EQ(nodes[0]->dY(), 1);
    EXPECT_DOUBLE_EQ(nodes[1]->dX(), 0.25);
    EXPECT_DOUBLE_EQ(nodes[1]->dY(), 0.75);
    EXPECT_EQ(nodes[2]->dX(), 1);
    EXPECT_EQ(nodes[2]->dY(), 0);
}

TEST_F(GammaEditor, GridCountsAreKeptInARange) {
    int columns = 0;
    int rows = 0;
    view.getGrids(columns, rows);
    EXPECT_EQ(columns, 6);
    EXPECT_EQ(rows, 6);
    view.setGrids(2000000000, -3);
    view.getGrids(columns, rows);
    EXPECT_EQ(columns, GammaView::kMaxGrids);
    EXPECT_EQ(rows, GammaView::kMinGrids);
    view.setGrids(10, 4);
    view.getGrids(columns, rows);
    EXPECT_EQ(columns, 10);
    EXPECT_EQ(rows, 4);
    // The grid is drawn in the area's coordinates: a line at a tenth of the width.
    view.setGrids(10, 1);
    view.resetCachedContent();
    const QImage shot = view.grab().toImage();
    const QPoint line = view.mapFromScene(QPointF(kX + kW / 10.0, kY + kH / 2.0));
    EXPECT_NE(shot.pixelColor(line), QColor(220, 220, 220));
    const QPoint between = view.mapFromScene(QPointF(kX + kW * 0.15, kY + kH / 4.0));
    EXPECT_EQ(shot.pixelColor(between), QColor(220, 220, 220));
}

// Counts the paints of the view's viewport.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

TEST_F(GammaEditor, OneChangeCostsAFewRepaintsAndThenTheViewRests) {
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    QTest::qWait(200);
    counter.paints = 0;
    QTest::qWait(200);
    EXPECT_EQ(counter.paints, 0) << "the view repaints with nothing changed";

    click({150, 80});
    QTest::qWait(300);
    EXPECT_GE(counter.paints, 1);
    EXPECT_LE(counter.paints, 3);
    const int afterChange = counter.paints;
    QTest::qWait(300);
    EXPECT_EQ(counter.paints, afterChange);
}

TEST_F(GammaEditor, KeysAreLeftToTheParent) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    key.accept();
    QCoreApplication::sendEvent(&view, &key);
    EXPECT_FALSE(key.isAccepted());
    EXPECT_EQ(view.curveNodes().size(), 2);
}

}  // namespace
