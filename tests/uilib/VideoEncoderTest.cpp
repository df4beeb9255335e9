// The video encoder writes files that the decoder and ffprobe read back frame for frame.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>

#include "QVideoDecoder.h"
#include "QVideoEncoder.h"
#include "TestFrames.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

class VideoEncoderTest : public testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // Decodes every frame of the file; -1 when it cannot be opened.
    static int countFrames(const QString& file, QImage* last = nullptr) {
        QVideoDecoder decoder;
        if (!decoder.openFile(file)) {
            return -1;
        }
        int frames = 0;
        while (decoder.seekNextFrame()) {
            ++frames;
            if (last != nullptr) {
                decoder.getFrame(*last);
            }
        }
        return frames;
    }

    QTemporaryDir dir;
};

// ffprobe's view of the first video stream: "format codec frames", empty without ffprobe.
// Started with fork and exec, which the thread sanitizer follows: a process started by
// QProcess shares the address space until it runs ffprobe, unseen by the sanitizer, which
// then reports races that are none in the codec's threads.
QString probe(const QString& file) {
    const QByteArray tool = QStandardPaths::findExecutable("ffprobe").toLocal8Bit();
    int output[2];
    if (tool.isEmpty() || pipe(output) != 0) {
        return QString();
    }
    const QByteArray name = file.toUtf8();
    const char* arguments[] = {"ffprobe",
                               "-v",
                               "error",
                               "-count_frames",
                               "-select_streams",
                               "v:0",
                               "-show_entries",
                               "format=format_name:stream=codec_name,nb_read_frames",
                               "-of",
                               "default=noprint_wrappers=1:nokey=1",
                               name.constData(),
                               nullptr};
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        execv(tool.constData(), const_cast<char* const*>(arguments));
        _exit(127);
    }
    close(output[1]);
    QByteArray printed;
    char chunk[256];
    ssize_t count = 0;
    while (child > 0 && (count = read(output[0], chunk, sizeof chunk)) > 0) {
        printed.append(chunk, count);
    }
    close(output[0]);
    if (child > 0) {
        waitpid(child, nullptr, 0);
    }
    return QString::fromUtf8(printed).simplified();
}

TEST_F(VideoEncoderTest, FramesComeBackInOrderCloseToWhatWentIn) {
    constexpr int kFrames = 30;
    const QString file = path("clip.avi");
    QVideoEncoder encoder;
    ASSERT_TRUE(encoder.createFile(file, 400, 400, 1000000, 20, 25));
    EXPECT_TRUE(encoder.isOk());
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_GT(encoder.encodeImage(uitest::syntheticFrame(i)), 0) << "frame " << i;
    }
    ASSERT_TRUE(encoder.close());
    EXPECT_FALSE(encoder.isOk());

    QVideoDecoder decoder;
    ASSERT_TRUE(decoder.openFile(file));
    int frames = 0;
    double worst = 0;
    QImage picture;
    while (decoder.seekNextFrame()) {
        ASSERT_TRUE(decoder.getFrame(picture));
        ASSERT_EQ(picture.size(), QSize(400, 400));
        EXPECT_EQ(uitest::frameIndexOf(picture), frames);
        worst = std::max(worst,
                         uitest::meanAbsoluteDifference(picture, uitest::syntheticFrame(frames)));
        ++frames;
    }
    EXPECT_EQ(frames, kFrames);
    EXPECT_LT(worst, 4.0);
}

TEST_F(VideoEncoderTest, FfprobeSeesAviWithMpeg4AndEveryFrame) {
    const QString file = path("probe.avi");
    ASSERT_TRUE(uitest::writeClip(file, 23));
    const QString seen = probe(file);
    if (seen.isEmpty()) {
        GTEST_SKIP() << "ffprobe is not installed";
    }
    EXPECT_EQ(seen, "mpeg4 23 avi");
}

// A recording that is never closed, as when the program is killed, still holds all but about
// its last second: the file is flushed after its header and then once a second of video.
TEST_F(VideoEncoderTest, UnfinishedFileHoldsAllButItsLastSecond) {
    for (const int fps : {25, 10}) {
        const int frames = 2 * fps + fps / 2;
        const QString file = path(QString("unfinished-%1.avi").arg(fps));
        QVideoEncoder encoder;
        ASSERT_TRUE(encoder.createFile(file, 400, 400, 1000000, 20, static_cast<unsigned>(fps)));
        EXPECT_GT(QFileInfo(file).size(), 0) << "the header";
        for (int i = 0; i < frames; ++i) {
            ASSERT_GT(encoder.encodeImage(uitest::syntheticFrame(i)), 0) << "frame " << i;
        }
        const QString copy = path(QString("copy-%1.avi").arg(fps));
        ASSERT_TRUE(QFile::copy(file, copy));
        QImage last;
        const int saved = countFrames(copy, &last);
        EXPECT_GE(saved, frames - fps) << fps << " frames/s";
        EXPECT_LE(saved, frames);
        EXPECT_EQ(uitest::frameIndexOf(last), saved - 1);
        const QStringList seen = probe(copy).split(' ');
        if (seen.size() == 3) {
            EXPECT_GE(seen[1].toInt(), frames - fps) << fps << " frames/s";
        }
        ASSERT_TRUE(encoder.close());
    }
}

TEST_F(VideoEncoderTest, RefusedSizesAndFormats) {
    QVideoEncoder encoder;
    CaptureStdout();
    EXPECT_FALSE(encoder.createFile(path("bad.avi"), 402, 400, 1000000, 20, 25));
    EXPECT_FALSE(encoder.createFile(path("bad.avi"), 400, 406, 1000000, 20, 25));
    EXPECT_EQ(GetCapturedStdout(), "Invalid size\nInvalid size\n");
    EXPECT_FALSE(encoder.isOk());
    EXPECT_FALSE(QFile::exists(path("bad.avi")));
}

TEST_F(VideoEncoderTest, UnknownExtensionIsWrittenAsMpegStream) {
    const QString file = path("clip.unknownext");
    QVideoEncoder encoder;
    CaptureStdout();
    const bool created = encoder.createFile(file, 400, 400, 1000000, 20, 25);
    const std::string printed = GetCapturedStdout();
    ASSERT_TRUE(created);
    EXPECT_NE(printed.find("Could not deduce output format from file extension: using MPEG.\n"),
              std::string::npos);
    for (int i = 0; i < 10; ++i) {
        encoder.encodeImage(uitest::syntheticFrame(i));
    }
    ASSERT_TRUE(encoder.close());
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.read(4), QByteArray("\x00\x00\x01\xBA", 4));  // MPEG pack header
    EXPECT_EQ(countFrames(file), 10);
}

TEST_F(VideoEncoderTest, RefusedImageEncodesThePreviousPictureAgain) {
    const QString file = path("refused.avi");
    QVideoEncoder encoder;
    ASSERT_TRUE(encoder.createFile(file, 400, 400, 1000000, 20, 25));
    ASSERT_GT(encoder.encodeImage(uitest::syntheticFrame(7)), 0);
    CaptureStdout();
    const int small = encoder.encodeImage(uitest::syntheticFrame(1, 200, 200));
    const int rgb888 =
        encoder.encodeImage(uitest::syntheticFrame(2, 400, 400, QImage::Format_RGB888));
    EXPECT_EQ(GetCapturedStdout(), "Wrong image size!\nWrong image format\n");
    EXPECT_GT(small, 0);
    EXPECT_GT(rgb888, 0);
    ASSERT_TRUE(encoder.close());

    QVideoDecoder decoder;
    ASSERT_TRUE(decoder.openFile(file));
    QImage picture;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(decoder.seekNextFrame());
        ASSERT_TRUE(decoder.getFrame(picture));
        EXPECT_EQ(uitest::frameIndexOf(picture), 7) << "frame " << i;
    }
    EXPECT_FALSE(decoder.seekNextFrame());
}

TEST_F(VideoEncoderTest, RefusedFirstImageEncodesABlackPicture) {
    const QString file = path("black.avi");
    QVideoEncoder encoder;
    ASSERT_TRUE(encoder.createFile(file, 400, 400, 1000000, 20, 25));
    CaptureStdout();
    const int bytes = encoder.encodeImage(uitest::syntheticFrame(3, 120, 400));
    EXPECT_EQ(GetCapturedStdout(), "Wrong image size!\n");
    EXPECT_GT(bytes, 0);
    ASSERT_TRUE(encoder.close());

    QImage picture;
    ASSERT_EQ(countFrames(file, &picture), 1);
    int brightest = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            brightest = std::max({brightest, qRed(pixel), qGreen(pixel), qBlue(pixel)});
        }
    }
    EXPECT_LE(brightest, 4);
}

// The default codec of WebM files holds frames back for its look-ahead; without that
// encoder (FFmpeg built without it) no setting of the encoder makes a codec hold frames.
TEST_F(VideoEncoderTest, CallsThatEmitNoBytesReturnZeroAndCloseWritesTheHeldFrames) {
    const AVOutputFormat* format = av_guess_format(nullptr, "held.webm", nullptr);
    const AVCodec* codec = format != nullptr ? avcodec_find_encoder(format->video_codec) : nullptr;
    if (codec == nullptr || (codec->capabilities & AV_CODEC_CAP_DELAY) == 0) {
        GTEST_SKIP() << "no container whose default encoder holds frames back";
    }
    const QString file = path("held.webm");
    QVideoEncoder encoder;
    ASSERT_TRUE(encoder.createFile(file, 400, 400, 1000000, 20, 25));
    constexpr int kFrames = 12;
    int empty = 0;
    for (int i = 0; i < kFrames; ++i) {
        const int bytes = encoder.encodeImage(uitest::syntheticFrame(i));
        ASSERT_GE(bytes, 0) << "frame " << i;
        empty += bytes == 0 ? 1 : 0;
    }
    EXPECT_GT(empty, 0);
    ASSERT_TRUE(encoder.close());
    QImage last;
    EXPECT_EQ(countFrames(file, &last), kFrames);
    EXPECT_EQ(uitest::frameIndexOf(last), kFrames - 1);
}

TEST_F(VideoEncoderTest, SecondFileFinishesTheFirst) {
    QVideoEncoder encoder;
    ASSERT_TRUE(encoder.createFile(path("first.avi"), 400, 400, 1000000, 20, 25));
    for (int i = 0; i < 5; ++i) {
        encoder.encodeImage(uitest::syntheticFrame(i));
    }
    ASSERT_TRUE(encoder.createFile(path("second.avi"), 400, 400, 1000000, 20, 25));
    encoder.encodeImage(uitest::syntheticFrame(0));
    ASSERT_TRUE(encoder.close());
    EXPECT_EQ(countFrames(path("first.avi")), 5);
    EXPECT_EQ(countFrames(path("second.avi")), 1);
}

TEST_F(VideoEncoderTest, ArgbImagesAndOwnTimeStamps) {
    const QString file = path("pts.avi");
    QVideoEncoder encoder;
    ASSERT_TRUE(encoder.createFile(file, 400, 400, 1000000, 20, 25));
    for (unsigned i = 0; i < 4; ++i) {
        const QImage argb =
            uitest::syntheticFrame(static_cast<int>(i), 400, 400, QImage::Format_ARGB32);
        ASSERT_GT(encoder.encodeImagePts(argb, i), 0);
    }
    // A time stamp that does not move forward cannot be written.
    EXPECT_EQ(encoder.encodeImagePts(uitest::syntheticFrame(4), 3), -1);
    ASSERT_TRUE(encoder.close());
    EXPECT_EQ(countFrames(file), 4);
}

TEST_F(VideoEncoderTest, ClosedEncoderRefusesFramesSilentlyAndOpensAgain) {
    QVideoEncoder encoder;
    const QImage frame = uitest::syntheticFrame(0);
    CaptureStdout();
    EXPECT_EQ(encoder.encodeImage(frame), -1);
    EXPECT_FALSE(encoder.close());
    const std::string silent = GetCapturedStdout();
    EXPECT_EQ(silent.find("Wrong"), std::string::npos);

    CaptureStdout();
    EXPECT_FALSE(encoder.createFile(path("missing-folder/clip.avi"), 400, 400, 1000000, 20, 25));
    EXPECT_FALSE(encoder.createFile(path("nofps.avi"), 400, 400, 1000000, 20, 0));
    const std::string printed = GetCapturedStdout();
    EXPECT_NE(printed.find("Could not open '"), std::string::npos);
    EXPECT_NE(printed.find("could not open codec\n"), std::string::npos);
    EXPECT_FALSE(encoder.isOk());
    EXPECT_EQ(encoder.encodeImagePts(frame, 3), -1);

    ASSERT_TRUE(encoder.createFile(path("ok.avi"), 400, 400, 1000000, 20, 25));
    EXPECT_GT(encoder.encodeImage(frame), 0);
    EXPECT_TRUE(encoder.close());
    EXPECT_EQ(encoder.encodeImage(frame), -1);
    EXPECT_FALSE(encoder.close());
}

TEST_F(VideoEncoderTest, FileNamesOutsideAscii) {
    const QString file = path(QString::fromUtf8("Aufnahme-\xC3\xA4\xC3\xB6-\xE6\x97\xA5.avi"));
    ASSERT_TRUE(uitest::writeClip(file, 3));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(countFrames(file), 3);
}

TEST_F(VideoEncoderTest, MetadataGoesIntoTheFilesCreatedAfterIt) {
    const QString title =
        QString::fromUtf8("KX-2 00C0FFEE 2026-03-01T09:59:30+01:00 \xC3\xA4\xE6\x97\xA5");
    const QString comment = QStringLiteral("Source: KX-2; Illumination: 40%");
    QVideoEncoder encoder;
    ASSERT_TRUE(encoder.createFile(path("before.avi"), 400, 400, 1000000, 20, 25));
    encoder.setMetadata(QStringLiteral("title"), title);
    encoder.setMetadata(QStringLiteral("comment"), comment);
    encoder.setMetadata(QString(), QStringLiteral("no key"));
    encoder.encodeImage(uitest::syntheticFrame(0));
    // The open file keeps the header it was created with; the next one gets both tags.
    ASSERT_TRUE(encoder.createFile(path("tagged.avi"), 400, 400, 1000000, 20, 25));
    encoder.encodeImage(uitest::syntheticFrame(1));
    encoder.setMetadata(QStringLiteral("comment"), QString());
    ASSERT_TRUE(encoder.createFile(path("title-only.avi"), 400, 400, 1000000, 20, 25));
    encoder.encodeImage(uitest::syntheticFrame(2));
    ASSERT_TRUE(encoder.close());

    EXPECT_EQ(uitest::containerMetadata(path("before.avi")), QStringList());
    EXPECT_EQ(uitest::containerMetadata(path("tagged.avi")),
              (QStringList{"comment=" + comment, "title=" + title}));
    EXPECT_EQ(uitest::containerMetadata(path("title-only.avi")), QStringList{"title=" + title});
    EXPECT_EQ(countFrames(path("tagged.avi")), 1);
}

}  // namespace
