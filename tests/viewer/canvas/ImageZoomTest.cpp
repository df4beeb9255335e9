// The magnifier: its sizes and centre are clamped into the displayed area, it shows the region
// around its centre taken from the unscaled frame, a short drag is a click that closes it and a
// longer one moves it.
#include <gtest/gtest.h>

#include <QWidget>

#include "CanvasMouse.h"
#include "ImageZoom.h"

namespace {

using hvtest::blockColour;
using hvtest::closeTo;

const QRect kArea(0, 0, 640, 640);

class ImageZoomTest : public ::testing::Test {
protected:
    // The live settings: a 640 x 640 area, a 75 x 75 region in a 150 x 150 window.
    bool openAt(int x, int y, int offset = 0) {
        return zoom->setUp(&frame, 640, 640, 75, 75, 150, 150, x, y, offset, offset);
    }
    QColor shown(int x, int y) { return zoom->grab().toImage().pixelColor(x, y); }

    QWidget canvas;
    hv::ImageZoom* zoom = new hv::ImageZoom(&canvas);
    QImage frame = hvtest::blockFrame();
};

TEST_F(ImageZoomTest, SetUpCentresTheWindowOnThePoint) {
    ASSERT_TRUE(openAt(320, 240));
    EXPECT_EQ(zoom->centre(), QPoint(320, 240));
    EXPECT_EQ(zoom->geometry(), QRect(245, 165, 150, 150));
    EXPECT_EQ(zoom->regionSize(), QSize(75, 75));
    EXPECT_EQ(zoom->areaSize(), QSize(640, 640));
}

TEST_F(ImageZoomTest, RegionAndWindowAreClampedToASmallArea) {
    ASSERT_TRUE(zoom->setUp(&frame, 100, 60, 75, 75, 150, 150, 50, 30, 0, 0));
    EXPECT_EQ(zoom->regionSize(), QSize(75, 60));
    EXPECT_EQ(zoom->windowSize(), QSize(100, 60));
    EXPECT_EQ(zoom->size(), QSize(100, 60));
    EXPECT_EQ(zoom->pos(), QPoint(0, 0));
}

TEST_F(ImageZoomTest, TheWindowStaysInsideTheAreaAtEveryCorner) {
    ASSERT_TRUE(openAt(5, 630));
    EXPECT_EQ(zoom->centre(), QPoint(75, 565));
    EXPECT_EQ(zoom->pos(), QPoint(0, 490));
    for (const QPoint corner : {QPoint(0, 0), QPoint(639, 0), QPoint(0, 639), QPoint(639, 639)}) {
        ASSERT_TRUE(zoom->setCentre(corner.x(), corner.y()));
        EXPECT_TRUE(kArea.contains(zoom->geometry())) << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(zoom->geometry(), QRect(490, 490, 150, 150));
}

TEST_F(ImageZoomTest, AnOddWindowStaysInsideToo) {
    ASSERT_TRUE(zoom->setUp(&frame, 640, 640, 75, 75, 151, 151, 639, 639, 0, 0));
    EXPECT_EQ(zoom->geometry(), QRect(489, 489, 151, 151));
    ASSERT_TRUE(zoom->setCentre(0, 0));
    EXPECT_EQ(zoom->geometry(), QRect(0, 0, 151, 151));
}

TEST_F(ImageZoomTest, NegativeValuesAreRefusedAndChangeNothing) {
    ASSERT_TRUE(openAt(320, 240));
    const QRect before = zoom->geometry();
    EXPECT_FALSE(zoom->setUp(&frame, -1, 640, 75, 75, 150, 150, 100, 100, 0, 0));
    EXPECT_FALSE(zoom->setUp(&frame, 640, 640, 75, -75, 150, 150, 100, 100, 0, 0));
    EXPECT_FALSE(zoom->setUp(&frame, 640, 640, 75, 75, 150, 150, -1, 100, 0, 0));
    EXPECT_FALSE(zoom->setUp(&frame, 640, 640, 75, 75, 150, 150, 100, 100, 0, -32));
    EXPECT_FALSE(zoom->setSize(75, 75, -150, 150));
    EXPECT_FALSE(zoom->setCentre(100, -1));
    EXPECT_EQ(zoom->centre(), QPoint(320, 240));
    EXPECT_EQ(zoom->geometry(), before);
    EXPECT_EQ(zoom->regionSize(), QSize(75, 75));
}

// Around display point (336, 336) the window shows frame pixels 186 to 232 (75 display pixels
// at 1.6 a frame pixel) over its 150 pixels: three blocks of the frame.
TEST_F(ImageZoomTest, PaintShowsTheRegionAroundTheCentreFromTheFrame) {
    ASSERT_TRUE(openAt(336, 336));
    EXPECT_TRUE(closeTo(shown(2, 2), blockColour(186, 186)));
    EXPECT_TRUE(closeTo(shown(75, 75), blockColour(210, 210)));
    EXPECT_TRUE(closeTo(shown(147, 147), blockColour(231, 231)));
    EXPECT_TRUE(closeTo(shown(147, 2), blockColour(231, 186)));
}

// With the 704-pixel enlargement cropped by 32 on each side, display point 560 is frame pixel
// 336 (it would be 350 without the crop).
TEST_F(ImageZoomTest, PaintFollowsTheCropOfTheEnlargement) {
    ASSERT_TRUE(openAt(560, 560, 32));
    EXPECT_TRUE(closeTo(shown(75, 75), blockColour(336, 336)));
    EXPECT_FALSE(closeTo(shown(75, 75), blockColour(350, 350)));
}

TEST_F(ImageZoomTest, ADragOfTwentyPixelsIsAClickThatCloses) {
    ASSERT_TRUE(openAt(320, 240));
    zoom->show();
    hvtest::press(zoom, QPoint(75, 75));
    hvtest::moveHolding(zoom, QPoint(85, 85), Qt::LeftButton);
    hvtest::release(zoom, QPoint(85, 85));
    EXPECT_TRUE(zoom->isHidden());
    EXPECT_EQ(zoom->centre(), QPoint(320, 240));
}

TEST_F(ImageZoomTest, ALongerDragMovesTheWindowWhichStaysOpen) {
    ASSERT_TRUE(openAt(320, 240));
    zoom->show();
    hvtest::press(zoom, QPoint(75, 75));
    // Past 20 pixels the drag counts as a move; the window follows from the next step on.
    hvtest::moveHolding(zoom, QPoint(86, 85), Qt::LeftButton);
    EXPECT_EQ(zoom->centre(), QPoint(320, 240));
    hvtest::moveHolding(zoom, QPoint(115, 75), Qt::LeftButton);
    EXPECT_EQ(zoom->centre(), QPoint(360, 240));
    EXPECT_EQ(zoom->pos(), QPoint(285, 165));
    hvtest::release(zoom, QPoint(115, 75));
    EXPECT_FALSE(zoom->isHidden());

    // The next plain click closes it again.
    hvtest::click(zoom, QPoint(75, 75));
    EXPECT_TRUE(zoom->isHidden());
}

TEST_F(ImageZoomTest, ADragIsClampedAtTheAreaEdge) {
    ASSERT_TRUE(openAt(500, 240));
    zoom->show();
    hvtest::press(zoom, QPoint(75, 75));
    hvtest::moveHolding(zoom, QPoint(100, 75), Qt::LeftButton);
    hvtest::moveHolding(zoom, QPoint(200, 75), Qt::LeftButton);
    EXPECT_EQ(zoom->centre(), QPoint(565, 240));
    EXPECT_TRUE(kArea.contains(zoom->geometry()));
}

TEST_F(ImageZoomTest, MovingWithoutTheLeftButtonHeldDoesNotDrag) {
    ASSERT_TRUE(openAt(320, 240));
    zoom->show();
    hvtest::press(zoom, QPoint(75, 75), Qt::RightButton);
    hvtest::moveHolding(zoom, QPoint(140, 75), Qt::RightButton);
    hvtest::moveHolding(zoom, QPoint(140, 140), Qt::RightButton);
    EXPECT_EQ(zoom->centre(), QPoint(320, 240));
    // Nothing moved, so the release closes the window like any click.
    hvtest::release(zoom, QPoint(140, 140), Qt::RightButton);
    EXPECT_TRUE(zoom->isHidden());
}

}  // namespace
