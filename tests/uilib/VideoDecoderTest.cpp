// The video decoder steps, seeks and measures on a clip of 50 frames (2 s at 25 frames/s, a key
// frame every 20 frames) written by the encoder.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "QVideoDecoder.h"
#include "TestFrames.h"

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

constexpr int kFrames = 50;

class VideoDecoderTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<QTemporaryDir>();
        s_clip = s_dir->filePath("clip.avi");
        ASSERT_TRUE(uitest::writeClip(s_clip, kFrames));
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override { ASSERT_TRUE(decoder.openFile(s_clip)); }

    // The frame number shown by the last decoded picture; -1 when there is none.
    int shownFrame() {
        QImage picture;
        return decoder.getFrame(picture) ? uitest::frameIndexOf(picture) : -1;
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static QString s_clip;
    QVideoDecoder decoder;
};

std::unique_ptr<QTemporaryDir> VideoDecoderTest::s_dir;
QString VideoDecoderTest::s_clip;

TEST_F(VideoDecoderTest, NoFrameUntilTheFirstStep) {
    EXPECT_TRUE(decoder.isOk());
    EXPECT_EQ(shownFrame(), -1);
    ASSERT_TRUE(decoder.seekNextFrame());
    QImage picture;
    int desiredTime = -1, time = -1, desired = -1, number = -1;
    ASSERT_TRUE(decoder.getFrame(picture, &desiredTime, &time, &desired, &number));
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    EXPECT_EQ(picture.size(), QSize(400, 400));
    EXPECT_EQ(uitest::frameIndexOf(picture), 0);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(time, 0);
    EXPECT_EQ(desired, 0);
}

TEST_F(VideoDecoderTest, StepsThroughEveryFrameThenStops) {
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_TRUE(decoder.seekNextFrame()) << "frame " << i;
        int time = -1, number = -1;
        QImage picture;
        decoder.getFrame(picture, nullptr, &time, nullptr, &number);
        EXPECT_EQ(number, i);
        EXPECT_EQ(time, i * 40);
        EXPECT_EQ(uitest::frameIndexOf(picture), i);
    }
    EXPECT_FALSE(decoder.seekNextFrame());
    EXPECT_EQ(shownFrame(), -1);
    EXPECT_FALSE(decoder.seekNextFrame());
}

TEST_F(VideoDecoderTest, SeekFrameForwardAndBack) {
    ASSERT_TRUE(decoder.seekFrame(37));
    EXPECT_EQ(shownFrame(), 37);
    ASSERT_TRUE(decoder.seekFrame(5));
    EXPECT_EQ(shownFrame(), 5);
    ASSERT_TRUE(decoder.seekNextFrame());
    EXPECT_EQ(shownFrame(), 6);
    ASSERT_TRUE(decoder.seekFrame(0));
    EXPECT_EQ(shownFrame(), 0);
    EXPECT_FALSE(decoder.seekFrame(kFrames + 10));
}

TEST_F(VideoDecoderTest, SeekMsTakesTheFrameShownAtThatTime) {
    ASSERT_TRUE(decoder.seekMs(1000));
    EXPECT_EQ(shownFrame(), 25);
    ASSERT_TRUE(decoder.seekMs(1439));  // frame 35 is shown from 1400 ms to 1440 ms
    EXPECT_EQ(shownFrame(), 35);
    QImage before;
    decoder.getFrame(before);

    // Inside the last frame's interval nothing new is decoded.
    ASSERT_TRUE(decoder.seekMs(1400));
    QImage after;
    int desiredTime = -1;
    decoder.getFrame(after, &desiredTime);
    EXPECT_EQ(after.cacheKey(), before.cacheKey());
    EXPECT_EQ(desiredTime, 1400);
}

TEST_F(VideoDecoderTest, LengthAndClosedDecoder) {
    CaptureStdout();
    EXPECT_EQ(decoder.getVideoLengthMs(), 2000);
    const std::string printed = GetCapturedStdout();
    EXPECT_NE(printed.find("Input #0, avi,\n from 'test video':\n"), std::string::npos);
    EXPECT_NE(printed.find("AV_TIME_BASE: 1000000\n"), std::string::npos);
    decoder.close();
    EXPECT_FALSE(decoder.isOk());
    EXPECT_EQ(decoder.getVideoLengthMs(), -1);
    EXPECT_FALSE(decoder.seekNextFrame());
    EXPECT_FALSE(decoder.seekFrame(3));
    EXPECT_FALSE(decoder.seekMs(100));
}

TEST_F(VideoDecoderTest, DamagedFilesEndInsteadOfLooping) {
    QFile whole(s_clip);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();

    const QString cut = s_dir->filePath("cut.avi");
    QFile half(cut);
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    half.write(bytes.left(bytes.size() / 2));
    half.close();
    QVideoDecoder damaged;
    ASSERT_TRUE(damaged.openFile(cut));
    int frames = 0;
    while (damaged.seekNextFrame() && frames <= kFrames) {
        ++frames;
    }
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, kFrames);

    const QString noise = s_dir->filePath("noise.avi");
    QFile garbage(noise);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, '\x5A'));
    garbage.close();
    EXPECT_FALSE(damaged.openFile(noise));
    EXPECT_FALSE(damaged.isOk());
    EXPECT_FALSE(damaged.openFile(s_dir->filePath("missing.avi")));
}

}  // namespace
