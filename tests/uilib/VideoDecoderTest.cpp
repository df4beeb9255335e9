// The video decoder steps, seeks and measures on a clip of 50 frames (2 s at 25 frames/s, a key
// frame every 20 frames) written by the encoder.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "QVideoDecoder.h"
#include "TestFrames.h"

extern "C" {
#include <libavformat/avformat.h>
}

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

TEST_F(VideoDecoderTest, SeekPastTheEndLeavesNoFrameToShow) {
    for (int i = 0; i <= 10; ++i) {
        ASSERT_TRUE(decoder.seekNextFrame());
    }
    EXPECT_FALSE(decoder.seekFrame(kFrames + 10));
    QImage picture;
    EXPECT_FALSE(decoder.getFrame(picture));
    EXPECT_TRUE(picture.isNull());

    ASSERT_TRUE(decoder.seekFrame(3));
    EXPECT_EQ(shownFrame(), 3);
    EXPECT_FALSE(decoder.seekMs(kFrames * 40 + 500));
    EXPECT_EQ(shownFrame(), -1);
    ASSERT_TRUE(decoder.seekFrame(kFrames - 1));
    EXPECT_EQ(shownFrame(), kFrames - 1);
}

TEST_F(VideoDecoderTest, PositionsFromBeforeASeekDoNotCountAfterIt) {
    QVideoDecoder stepper;
    ASSERT_TRUE(stepper.openFile(s_clip));
    QImage stepped;
    for (int i = 0; i <= 25; ++i) {
        ASSERT_TRUE(stepper.seekNextFrame());
    }
    ASSERT_TRUE(stepper.getFrame(stepped));

    for (int i = 0; i <= 3; ++i) {
        ASSERT_TRUE(decoder.seekNextFrame());
    }
    ASSERT_TRUE(decoder.seekFrame(40));  // a key frame: the first picture after the seek
    EXPECT_EQ(shownFrame(), 40);
    ASSERT_TRUE(decoder.seekFrame(25));
    QImage picture;
    int number = -1;
    ASSERT_TRUE(decoder.getFrame(picture, nullptr, nullptr, nullptr, &number));
    EXPECT_EQ(number, 25);
    EXPECT_EQ(uitest::frameIndexOf(picture), 25);
    EXPECT_EQ(picture, stepped);

    // Two pictures after a seek the interval between them holds again.
    ASSERT_TRUE(decoder.seekNextFrame());
    const qint64 shown = [&] {
        QImage last;
        decoder.getFrame(last);
        return last.cacheKey();
    }();
    ASSERT_TRUE(decoder.seekFrame(26));
    QImage same;
    decoder.getFrame(same);
    EXPECT_EQ(same.cacheKey(), shown);
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
    const QRegularExpression layout(
        QRegularExpression::anchoredPattern("Input #0, avi,\n from 'test video':\n"
                                            "00:00:02\\.00\n"
                                            "0\\.000000\n"
                                            "[1-9][0-9]* kb/s\n"
                                            "No Program\n"
                                            "software        : Lavf[0-9.]+\n"
                                            "AV_TIME_BASE: 1000000\n"));
    EXPECT_TRUE(layout.match(QString::fromStdString(printed)).hasMatch()) << printed;
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

// Gives the format dump a container description made up by the test.
class DumpingDecoder : public QVideoDecoder {
public:
    using QVideoDecoder::dumpFormat;
};

TEST(VideoDecoderDump, NegativeStartMissingValuesProgramsAndMetadata) {
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> context(avformat_alloc_context(),
                                                                         avformat_free_context);
    ASSERT_TRUE(context);
    context->iformat = av_find_input_format("matroska");
    ASSERT_NE(context->iformat, nullptr);
    context->duration = int64_t{3723} * AV_TIME_BASE + 456789;
    context->start_time = -1500000;
    context->bit_rate = 0;
    AVProgram* program = av_new_program(context.get(), 7);
    ASSERT_NE(program, nullptr);
    av_dict_set(&program->metadata, "name", "main", 0);
    av_dict_set(&context->metadata, "title", "bench", 0);

    DumpingDecoder decoder;
    CaptureStdout();
    decoder.dumpFormat(context.get(), 0, "made up", 0);
    context->start_time = -250000;
    context->duration = AV_NOPTS_VALUE;
    context->bit_rate = 64000;
    decoder.dumpFormat(context.get(), 1, "made up", 0);
    context->start_time = AV_NOPTS_VALUE;
    decoder.dumpFormat(context.get(), 2, "made up", 0);
    const std::string printed = GetCapturedStdout();
    const std::string tail = "Program 7 main\ntitle           : bench\nAV_TIME_BASE: 1000000\n";
    EXPECT_EQ(printed,
              "Input #0, matroska,webm,\n from 'made up':\n01:02:03.45\n-1.500000\nN/A\n" + tail +
                  "Input #1, matroska,webm,\n from 'made up':\nN/A\n-0.250000\n64 kb/s\n" + tail +
                  "Input #2, matroska,webm,\n from 'made up':\nN/A\n64 kb/s\n" + tail);
}

}  // namespace
