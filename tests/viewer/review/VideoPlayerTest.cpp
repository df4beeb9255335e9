// The review's video player on recordings written by the encoder: clip.avi has 50 pictures at
// 25 a second (2 s); picture i tells its number by its green level.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>
#include <functional>
#include <vector>

#include "ReviewFiles.h"
#include "TestFrames.h"
#include "VideoPlayer.h"

namespace {

using State = hv::VideoPlayer::State;

constexpr int kFrameMs = 40;

class VideoPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(uitest::writeClip(clip, 50));
        QObject::connect(&player, &hv::VideoPlayer::positionChanged,
                         [this](int ms) { shownTimes.push_back(ms); });
    }

    // Runs the event loop for ms.
    static void runFor(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
    // Runs the event loop until done() holds or 3 s pass; whether it held.
    static bool runUntil(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return done();
    }
    // The number of the picture shown, or -1 when none is.
    int shownPicture() const {
        const QImage picture = player.currentFrame();
        return picture.isNull() ? -1 : uitest::frameIndexOf(picture);
    }
    template <class T>
    T* part(const char* name) {
        return player.findChild<T*>(name);
    }
    QString timeText() { return part<QLabel>("timeLabel")->text(); }

    QTemporaryDir folder;
    const QString clip = folder.filePath("clip.avi");
    hv::VideoPlayer player;
    std::vector<int> shownTimes;
};

TEST_F(VideoPlayerTest, PlaysAtTheFilesRateAndCatchesUpAfterAStall) {
    QElapsedTimer sincePlay;
    ASSERT_TRUE(player.play(clip));
    sincePlay.start();
    EXPECT_EQ(player.state(), State::Playing);
    EXPECT_EQ(shownPicture(), 0);
    EXPECT_EQ(player.lengthMs(), 2000);
    EXPECT_EQ(part<QSlider>("positionSlider")->maximum(), 2000);
    EXPECT_EQ(timeText(), "00:00 / 00:02");

    runFor(300);
    // Pictures come one after the other, each at its time, none before it.
    ASSERT_GE(shownTimes.size(), 3u);
    for (std::size_t i = 1; i < shownTimes.size(); ++i) {
        EXPECT_GT(shownTimes[i], shownTimes[i - 1]);
        EXPECT_EQ(shownTimes[i] % kFrameMs, 0);
    }
    EXPECT_LE(player.positionMs(), sincePlay.elapsed());
    EXPECT_GE(player.positionMs(), 160);
    EXPECT_EQ(shownPicture(), player.positionMs() / kFrameMs);

    // The GUI thread is held up for ten pictures' time; the player catches up by showing the
    // picture due by then, passing over those in between rather than showing each of them late.
    const int before = player.positionMs();
    QThread::msleep(400);
    const std::size_t shownBefore = shownTimes.size();
    ASSERT_TRUE(runUntil([&] { return player.positionMs() >= before + 360; }));
    EXPECT_LE(shownTimes.size(), shownBefore + 5);
    EXPECT_LE(player.positionMs(), sincePlay.elapsed());
    EXPECT_EQ(shownPicture(), player.positionMs() / kFrameMs);
    EXPECT_EQ(player.state(), State::Playing);
}

TEST_F(VideoPlayerTest, PauseHoldsThePictureAndPlayGoesOnFromIt) {
    ASSERT_TRUE(player.play(clip));
    auto* button = part<QToolButton>("playButton");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), "Pause");
    runFor(120);

    button->click();
    EXPECT_EQ(player.state(), State::Paused);
    EXPECT_EQ(button->toolTip(), "Play");
    const int held = player.positionMs();
    const std::size_t shown = shownTimes.size();
    runFor(200);
    EXPECT_EQ(player.positionMs(), held);
    EXPECT_EQ(shownTimes.size(), shown);
    EXPECT_EQ(shownPicture(), held / kFrameMs);

    button->click();
    EXPECT_EQ(player.state(), State::Playing);
    ASSERT_TRUE(runUntil([&] { return player.positionMs() > held; }));
    // Play goes on from the held picture: the next one shown is the one after it.
    EXPECT_EQ(shownTimes[shown], held + kFrameMs);
}

TEST_F(VideoPlayerTest, TheSliderSeeksAndTheTimeReadsMinutesAndSeconds) {
    ASSERT_TRUE(player.play(clip));
    player.pause();
    auto* slider = part<QSlider>("positionSlider");

    slider->setValue(1234);
    EXPECT_EQ(player.positionMs(), 1200);
    EXPECT_EQ(shownPicture(), 30);
    EXPECT_EQ(timeText(), "00:01 / 00:02");
    EXPECT_EQ(player.state(), State::Paused);

    // Back before the last key frame, then to the very end: the last picture, and the end.
    slider->setValue(120);
    EXPECT_EQ(shownPicture(), 3);
    slider->setValue(slider->maximum());
    EXPECT_EQ(player.positionMs(), 1960);
    EXPECT_EQ(shownPicture(), 49);
    EXPECT_EQ(player.state(), State::Ended);

    // Play after the end starts again from the first picture.
    part<QToolButton>("playButton")->click();
    EXPECT_EQ(player.state(), State::Playing);
    EXPECT_EQ(player.positionMs(), 0);
    EXPECT_EQ(shownPicture(), 0);

    // A seek while playing plays on from there.
    ASSERT_TRUE(player.seek(1500));
    EXPECT_EQ(player.positionMs(), 1480);
    const std::size_t shown = shownTimes.size();
    ASSERT_TRUE(runUntil([&] { return shownTimes.size() > shown; }));
    EXPECT_EQ(shownTimes[shown], 1520);
    EXPECT_EQ(slider->value(), player.positionMs());

    // Minutes and seconds: 75 pictures at one a second.
    const QString slow = folder.filePath("slow.avi");
    ASSERT_TRUE(uitest::writeClip(slow, 75, 1));
    ASSERT_TRUE(player.play(slow));
    EXPECT_EQ(timeText(), "00:00 / 01:15");
    slider->setValue(61500);
    EXPECT_EQ(player.positionMs(), 61000);
    EXPECT_EQ(timeText(), "01:01 / 01:15");
}

TEST_F(VideoPlayerTest, StopsAtTheEndWhenClosedAndOnFilesWithoutVideo) {
    const QString shortClip = folder.filePath("short.avi");
    ASSERT_TRUE(uitest::writeClip(shortClip, 5));
    ASSERT_TRUE(player.play(shortClip));
    ASSERT_TRUE(runUntil([&] { return player.state() == State::Ended; }));
    EXPECT_EQ(shownTimes, (std::vector<int>{0, 40, 80, 120, 160}));
    EXPECT_EQ(shownPicture(), 4);
    runFor(100);
    EXPECT_EQ(shownTimes.size(), 5u);

    ASSERT_TRUE(player.play(clip));
    player.show();
    player.close();
    EXPECT_EQ(player.state(), State::Idle);
    EXPECT_EQ(shownPicture(), -1);
    EXPECT_EQ(timeText(), "00:00 / 00:00");
    EXPECT_FALSE(part<QToolButton>("playButton")->isEnabled());
    EXPECT_FALSE(part<QSlider>("positionSlider")->isEnabled());
    const std::size_t shown = shownTimes.size();
    runFor(100);
    EXPECT_EQ(shownTimes.size(), shown);
    EXPECT_FALSE(player.seek(500));

    // Files without video leave the player idle, and nothing of the file played before stays.
    const QString junk = folder.filePath("junk.avi");
    ASSERT_TRUE(reviewtest::writeJunk(junk));
    ASSERT_TRUE(player.play(clip));
    for (const QString& file : {junk, folder.filePath("missing.avi")}) {
        EXPECT_FALSE(player.play(file)) << file.toStdString();
        EXPECT_EQ(player.state(), State::Idle);
        EXPECT_EQ(shownPicture(), -1);
    }
}

}  // namespace
