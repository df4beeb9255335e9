// Frames, handle buttons, illumination and the frames-per-second line of a brought-up main
// window. The tests stop the board's own stream and run the frame callback themselves, as the
// library's streaming thread would.
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <vector>

#include <kxCxApi.h>
#include "CameraSlot.h"
#include "FrameCallback.h"
#include "ImageDraw.h"
#include "MainWindowFixture.h"

namespace {

constexpr int kLedChip = 0x62;
constexpr int kLedPwm2 = 0x04;
constexpr int kLedOut = 0x08;

class LiveViewTest : public hvtest::MainWindowFixture {
protected:
    // Records the order in which the four handle buttons are clicked.
    QStringList clicksOf(int nibble) {
        QStringList clicks;
        std::vector<QMetaObject::Connection> connections;
        for (const char* name : {"illuminationSpinUpButton", "illuminationSpinDownButton",
                                 "videoButton", "photoButton"}) {
            const QString text = QString::fromLatin1(name);
            connections.push_back(QObject::connect(button(name), &QPushButton::clicked,
                                                   [&clicks, text] { clicks << text; }));
        }
        window->OnButtonNotifySignalA(nibble);
        for (const auto& connection : connections) {
            QObject::disconnect(connection);
        }
        return clicks;
    }
    int ledRegister(int reg) const {
        int value = -1;
        EXPECT_EQ(readRegister(handle(), kLedChip, reg, &value, 0), 1);
        return value;
    }
};

TEST_F(LiveViewTest, HandleButtonsAreActiveLowAndClickedInTheirOrderWhenEnabled) {
    quietWindow();
    EXPECT_EQ(clicksOf(0xE), QStringList({"illuminationSpinUpButton"}));
    EXPECT_EQ(clicksOf(0x0), QStringList({"illuminationSpinUpButton", "illuminationSpinDownButton",
                                          "videoButton", "photoButton"}));
    EXPECT_TRUE(clicksOf(0xF).isEmpty());
    EXPECT_TRUE(clicksOf(0xFF).isEmpty());
    button("illuminationSpinDownButton")->setEnabled(false);
    button("photoButton")->setEnabled(false);
    EXPECT_EQ(clicksOf(0x0), QStringList({"illuminationSpinUpButton", "videoButton"}));
}

TEST_F(LiveViewTest, IlluminationWrapsAtBothEndsAndDrivesTheLampChannel) {
    hv::Nelvora& w = quietWindow();
    w.SetIllumination(7);
    EXPECT_EQ(label("illuminationLevelLabel"), "70%");
    EXPECT_EQ(ledRegister(kLedPwm2), 165);  // duty 35%: (1 - 0.35) x 255
    EXPECT_EQ(ledRegister(kLedOut) & 0x30, 0x20);
    w.SetIllumination(10);
    button("illuminationSpinUpButton")->click();
    EXPECT_EQ(w.illuminationLevel(), 0);
    EXPECT_EQ(label("illuminationLevelLabel"), "0%");
    EXPECT_EQ(ledRegister(kLedPwm2), 0);
    button("illuminationSpinDownButton")->click();
    EXPECT_EQ(w.illuminationLevel(), 10);
    EXPECT_EQ(label("illuminationLevelLabel"), "100%");
    button("illuminationSpinDownButton")->click();
    EXPECT_EQ(w.illuminationLevel(), 9);
    w.SetIllumination(42);
    EXPECT_EQ(w.illuminationLevel(), 10);
}

TEST_F(LiveViewTest, AFrameArrivingWhilePlacingIsDroppedAndNotCountedButItsButtonsCount) {
    hv::Nelvora& w = quietWindow();
    w.SetIllumination(3);
    const int before = w.frameCounter();
    const std::vector<uint8_t> frame(kFrameBytes, 0x40);
    hv::FrameHandOff* handOff = w.cameraSlot()->handOff();
    ASSERT_NE(handOff, nullptr);
    handOff->beginPlacing();
    // Offered while placing, with no events handled in between, carrying a press of the
    // illumination-up button (active low).
    cxContextHead(handle())->statusWord = 0xE;
    hv::FrameCallback::onFrame(frame.data(), static_cast<int>(frame.size()), handle());
    cxContextHead(handle())->statusWord = hv::FrameCallback::kButtonsUnchanged;
    handOff->endPlacing();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.frameCounter(), before);
    EXPECT_EQ(w.illuminationLevel(), 4);
    deliver(frame);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.frameCounter(), before + 1);
}

TEST_F(LiveViewTest, TheCropBitSwitchesTheViewOnTheNextFrameWithoutARestart) {
    hv::Nelvora& w = quietWindow();
    std::vector<uint8_t> frame(kFrameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<uint8_t>(i * 7);
    }
    ASSERT_EQ(writeRegister(handle(), 0x3C, 0x27, 0x01, 0), 1);
    deliver(frame);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.canvas()->sourceRect(), QRect(32, 32, 640, 640));
    EXPECT_EQ(w.canvas()->image().size(), QSize(704, 704));
    ASSERT_EQ(writeRegister(handle(), 0x3C, 0x27, 0x00, 0), 1);
    deliver(frame);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.canvas()->sourceRect(), QRect(0, 0, 640, 640));
    EXPECT_EQ(w.canvas()->image().size(), QSize(640, 640));
    // The shown picture is the frame: its top-left pixel is the frame's first triple.
    EXPECT_EQ(w.canvas()->image().pixel(0, 0), qRgb(0, 7, 14));
}

TEST_F(LiveViewTest, TheClockLogsTheFramesOfTheLastSecond) {
    hv::Nelvora& w = quietWindow();
    w.OnSecTimeout();
    for (int i = 0; i < 3; ++i) {
        w.OnFrameCountsSignal();
    }
    w.OnSecTimeout();
    w.OnSecTimeout();
    window.reset();  // the library goes, and its log is written out
    const std::string log =
        read("kxCxLog" + QDate::currentDate().toString("yyyyMMdd").toStdString() + ".txt");
    const std::size_t three = log.find("> FPS=3\n");
    ASSERT_NE(three, std::string::npos) << log;
    EXPECT_NE(log.find("> FPS=0\n", three), std::string::npos) << log;
}

TEST_F(LiveViewTest, TheBoardsOwnStreamIsShownAndCounted) {
    hv::Nelvora& w = bringUp("RT4207");
    ASSERT_NE(w.canvas(), nullptr);
    EXPECT_TRUE(waitFor([&] { return w.frameCounter() >= 5; }));
    EXPECT_EQ(w.canvas()->image().size(), QSize(640, 640));
    EXPECT_TRUE(w.canvas()->isVisible() || !w.isVisible());
}

}  // namespace
