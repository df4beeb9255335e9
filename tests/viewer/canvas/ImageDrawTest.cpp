// The live canvas: how it looks and paints, the magnifier on a left click while live, the
// exposure spot while spot selection is on, and the pixel readout in the window title while the
// three mouse buttons are held.
#include <gtest/gtest.h>

#include <QPalette>
#include <QSignalSpy>
#include <QWidget>
#include <string>
#include <vector>

#include "CanvasMouse.h"
#include "ImageDraw.h"
#include "ImageZoom.h"
#include "SingleInstances.h"
#include "SpotSelection.h"

namespace {

using hvtest::blockColour;
using hvtest::closeTo;

constexpr Qt::MouseButtons kAllThree = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;
const QRect kArea(0, 0, 640, 640);

// A frame of R, G, B bytes whose pixels all differ from their neighbours.
std::vector<uint8_t> numberedFrame() {
    std::vector<uint8_t> bytes(400 * 400 * 3);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 400; ++x) {
            uint8_t* p = &bytes[(y * 400 + x) * 3];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(x + y);
        }
    }
    return bytes;
}

void setFramePixel(std::vector<uint8_t>& bytes, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* p = &bytes[(y * 400 + x) * 3];
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

class ImageDrawTest : public ::testing::Test {
protected:
    ImageDrawTest() {
        window.setWindowTitle("Nelvora");
        canvas->setPixelSource(bytes.data(), 400, 400, 5);
        canvas->setVersionText("1.02");
    }
    void TearDown() override { hv::SingleInstances::destroyAll(); }

    // As the live view places each frame.
    void goLive() {
        canvas->setLive(true);
        canvas->setImage(0, 0, frame.scaled(640, 640), 0, 0, 640, 640, &frame);
    }
    // The window title after a move to position (a standard string, for readable failures).
    std::string readoutAt(QPoint position, Qt::MouseButtons held = kAllThree) {
        hvtest::moveHolding(canvas, position, held);
        return window.windowTitle().toStdString();
    }

    QWidget window;
    QWidget* imageLabel = new QWidget(&window);
    hv::ImageDraw* canvas = new hv::ImageDraw(imageLabel);
    std::vector<uint8_t> bytes = numberedFrame();
    QImage frame = hvtest::blockFrame();
};

TEST_F(ImageDrawTest, ACanvasStartsFramedDarkAndNotLive) {
    EXPECT_EQ(canvas->objectName(), "Image Canvas");
    EXPECT_EQ(canvas->geometry(), QRect(0, 0, 400, 400));
    EXPECT_EQ(canvas->frameShape(), QFrame::Panel);
    EXPECT_EQ(canvas->frameShadow(), QFrame::Raised);
    EXPECT_EQ(canvas->lineWidth(), 3);
    EXPECT_FALSE(canvas->autoFillBackground());
    EXPECT_EQ(canvas->palette().color(QPalette::Window), QColor(25, 25, 25, 255));
    EXPECT_FALSE(canvas->isLive());
    ASSERT_NE(canvas->zoomWindow(), nullptr);
    EXPECT_EQ(canvas->zoomWindow()->parentWidget(), canvas);
    EXPECT_TRUE(canvas->zoomWindow()->isHidden());
}

TEST_F(ImageDrawTest, SetImageResizesShowsAndPaintsTheSourceRectangle) {
    QImage enlarged(704, 704, QImage::Format_ARGB32);
    for (int y = 0; y < 704; ++y) {
        for (int x = 0; x < 704; ++x) {
            enlarged.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 16 + (y / 256)));
        }
    }
    canvas->hide();
    canvas->setImage(0, 0, enlarged, 32, 32, 640, 640, &frame);
    EXPECT_EQ(canvas->geometry(), QRect(0, 0, 640, 640));
    EXPECT_FALSE(canvas->isHidden());
    QImage painted = canvas->grab().toImage();
    EXPECT_EQ(painted.pixel(0, 0), enlarged.pixel(32, 32));
    EXPECT_EQ(painted.pixel(639, 639), enlarged.pixel(671, 671));
    EXPECT_EQ(painted.pixel(300, 17), enlarged.pixel(332, 49));

    canvas->setImage(10, 20, enlarged, 0, 0, 640, 640, &frame);
    painted = canvas->grab().toImage();
    EXPECT_EQ(painted.pixel(10, 20), enlarged.pixel(0, 0));
    EXPECT_EQ(painted.pixel(639, 639), enlarged.pixel(629, 619));
}

TEST_F(ImageDrawTest, AClickOnACanvasThatIsNotLiveWithSpotSelectionOffDoesNothing) {
    canvas->setImage(0, 0, frame.scaled(640, 640), 0, 0, 640, 640, &frame);
    QSignalSpy spots(hv::SpotSelection::instance()->spotSignal(),
                     &KX::KXAECSpotSignal::aecSpotSignal);
    hvtest::click(canvas, QPoint(320, 320));
    EXPECT_TRUE(canvas->zoomWindow()->isHidden());
    EXPECT_EQ(spots.count(), 0);
    EXPECT_EQ(hv::SpotSelection::instance()->spot(), QPoint(0, 0));
}

TEST_F(ImageDrawTest, ALeftClickOnALiveCanvasOpensTheZoomAtThePoint) {
    goLive();
    hvtest::click(canvas, QPoint(320, 240));
    const hv::ImageZoom* zoom = canvas->zoomWindow();
    EXPECT_FALSE(zoom->isHidden());
    EXPECT_EQ(zoom->centre(), QPoint(320, 240));
    EXPECT_EQ(zoom->geometry(), QRect(245, 165, 150, 150));
    EXPECT_EQ(zoom->areaSize(), QSize(640, 640));
}

TEST_F(ImageDrawTest, AClickNearTheEdgeOpensTheZoomInsideTheArea) {
    goLive();
    hvtest::click(canvas, QPoint(630, 5));
    EXPECT_EQ(canvas->zoomWindow()->centre(), QPoint(565, 75));
    EXPECT_TRUE(kArea.contains(canvas->zoomWindow()->geometry()));
    hvtest::click(canvas, QPoint(2, 638));
    EXPECT_EQ(canvas->zoomWindow()->geometry(), QRect(0, 490, 150, 150));
}

TEST_F(ImageDrawTest, ARightClickHidesTheZoom) {
    goLive();
    hvtest::click(canvas, QPoint(320, 240));
    ASSERT_FALSE(canvas->zoomWindow()->isHidden());
    hvtest::click(canvas, QPoint(100, 100), Qt::RightButton);
    EXPECT_TRUE(canvas->zoomWindow()->isHidden());
}

// 75 display pixels around (336, 336) are frame pixels 186 to 232, spread over 150 pixels.
TEST_F(ImageDrawTest, TheZoomShowsTheNeighbourhoodOfTheClickFromTheFrame) {
    goLive();
    hvtest::click(canvas, QPoint(336, 336));
    const QImage shown = canvas->zoomWindow()->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(150, 150));
    EXPECT_TRUE(closeTo(shown.pixelColor(2, 2), blockColour(186, 186)));
    EXPECT_TRUE(closeTo(shown.pixelColor(75, 75), blockColour(210, 210)));
    EXPECT_TRUE(closeTo(shown.pixelColor(147, 147), blockColour(231, 231)));
}

TEST_F(ImageDrawTest, WithSpotSelectionALeftClickChoosesTheSpot) {
    hv::SpotSelection* selection = hv::SpotSelection::instance();
    selection->setActive(true);
    QSignalSpy spots(selection->spotSignal(), &KX::KXAECSpotSignal::aecSpotSignal);
    hvtest::click(canvas, QPoint(123, 45));
    EXPECT_EQ(spots.count(), 1);
    EXPECT_EQ(selection->spot(), QPoint(123, 45));
    // Not live: no magnifier.
    EXPECT_TRUE(canvas->zoomWindow()->isHidden());

    hvtest::click(canvas, QPoint(50, 60), Qt::RightButton);
    EXPECT_EQ(spots.count(), 1);
    EXPECT_EQ(selection->spot(), QPoint(123, 45));
}

TEST_F(ImageDrawTest, ALiveCanvasWithSpotSelectionZoomsAndChoosesTheSpot) {
    goLive();
    hv::SpotSelection* selection = hv::SpotSelection::instance();
    selection->setActive(true);
    QSignalSpy spots(selection->spotSignal(), &KX::KXAECSpotSignal::aecSpotSignal);
    hvtest::click(canvas, QPoint(400, 300));
    EXPECT_EQ(spots.count(), 1);
    EXPECT_EQ(selection->spot(), QPoint(400, 300));
    EXPECT_FALSE(canvas->zoomWindow()->isHidden());

    selection->setActive(false);
    hvtest::click(canvas, QPoint(410, 310));
    EXPECT_EQ(spots.count(), 1);
    EXPECT_EQ(canvas->zoomWindow()->centre(), QPoint(410, 310));
}

TEST_F(ImageDrawTest, ThreeButtonsOverDisplayPixel160ReadFramePixel100) {
    setFramePixel(bytes, 100, 100, 200, 100, 50);
    EXPECT_EQ(readoutAt(QPoint(160, 160)),
              "Bexel(1.02)+lib((null)) [No Flat Field Correction]:: at [100,100] "
              "<R = 200, G = 100, B = 50, Y = 124>");
    EXPECT_TRUE(imageLabel->windowTitle().isEmpty());
}

TEST_F(ImageDrawTest, TwoButtonsLeaveTheTitleAlone) {
    EXPECT_EQ(readoutAt(QPoint(160, 160), Qt::LeftButton | Qt::RightButton), "Nelvora");
    EXPECT_EQ(readoutAt(QPoint(160, 160), Qt::LeftButton | Qt::MiddleButton), "Nelvora");
    EXPECT_EQ(readoutAt(QPoint(160, 160), Qt::RightButton | Qt::MiddleButton), "Nelvora");
}

// The last displayed pixel is the last frame pixel; the luma is truncated, not rounded.
TEST_F(ImageDrawTest, TheLastDisplayPixelReadsTheLastTriple) {
    setFramePixel(bytes, 399, 399, 1, 1, 1);
    EXPECT_EQ(readoutAt(QPoint(639, 639)),
              "Bexel(1.02)+lib((null)) [No Flat Field Correction]:: at [399,399] "
              "<R = 1, G = 1, B = 1, Y = 0>");
    setFramePixel(bytes, 399, 399, 255, 255, 255);
    EXPECT_EQ(readoutAt(QPoint(639, 639)),
              "Bexel(1.02)+lib((null)) [No Flat Field Correction]:: at [399,399] "
              "<R = 255, G = 255, B = 255, Y = 255>");
}

TEST_F(ImageDrawTest, SmallCoordinatesArePaddedToThreePlaces) {
    EXPECT_EQ(readoutAt(QPoint(8, 17)),
              "Bexel(1.02)+lib((null)) [No Flat Field Correction]:: at [  5, 10] "
              "<R = 5, G = 10, B = 15, Y = 9>");
}

TEST_F(ImageDrawTest, APositionOutsideTheFrameGivesTheShortTitle) {
    EXPECT_EQ(readoutAt(QPoint(640, 100)), "Bexel R1.02");
    EXPECT_EQ(readoutAt(QPoint(100, 700)), "Bexel R1.02");
    EXPECT_EQ(readoutAt(QPoint(-2, 100)), "Bexel R1.02");
}

TEST_F(ImageDrawTest, WithoutAVersionTextTheTitlesSayQuestionMarks) {
    canvas->setVersionText(nullptr);
    EXPECT_EQ(readoutAt(QPoint(640, 100)), "Bexel R?.?.???");
    EXPECT_EQ(readoutAt(QPoint(160, 160)).rfind("Bexel(?.?.?\?\?)+lib((null)) [", 0), 0u);
}

TEST_F(ImageDrawTest, AnotherColourModeGivesThePositionOnly) {
    canvas->setPixelSource(bytes.data(), 400, 400, 3);
    EXPECT_EQ(readoutAt(QPoint(160, 160)),
              "Bexel(1.02)+lib((null)) [No Flat Field Correction]:: at [100,100]");
    canvas->setPixelSource(nullptr, 400, 400, 5);
    EXPECT_EQ(readoutAt(QPoint(160, 160)),
              "Bexel(1.02)+lib((null)) [No Flat Field Correction]:: at [100,100]");
}

// The live view hands over the buffer of each frame it shows.
TEST_F(ImageDrawTest, TheReadoutFollowsANewPixelSource) {
    std::vector<uint8_t> next(bytes.size(), 0);
    setFramePixel(next, 100, 100, 9, 8, 7);
    canvas->setPixelSource(next.data(), 400, 400, 5);
    EXPECT_EQ(readoutAt(QPoint(160, 160)),
              "Bexel(1.02)+lib((null)) [No Flat Field Correction]:: at [100,100] "
              "<R = 9, G = 8, B = 7, Y = 8>");
}

}  // namespace
