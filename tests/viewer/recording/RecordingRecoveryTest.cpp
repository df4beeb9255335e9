// Recordings left unfinished are found by their markers at the next start and made playable
// again; what cannot be repaired is reported and left as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "QVideoDecoder.h"
#include "RecordingFiles.h"
#include "RecordingMarker.h"
#include "RecordingRecovery.h"
#include "TestFrames.h"
#include "VideoRecorder.h"
#include "WatchedEncoder.h"

using hv::RecordingMarker;
using hv::RecordingRecovery;
using hv::VideoRecorder;

namespace {

void writeFile(const QString& fileName, const QByteArray& content) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content), content.size());
}

TEST(RecordingRecoveryTest, ACrashedRecordingIsRepairedAndARunningOneLeftAlone) {
    constexpr int kRecorded = 60;
    QTemporaryDir running;
    QTemporaryDir crashed;
    const QString name = QStringLiteral("Vid 03-01-2026 09.59.30.avi");
    const QString live = running.filePath(name);
    const QString lost = crashed.filePath(name);
    const hv::CaptureContext context = rectest::sampleContext();
    auto log = std::make_shared<rectest::EncoderLog>();
    VideoRecorder recorder(rectest::watchedEncoders(log));
    ASSERT_TRUE(recorder.start(live, context)) << recorder.errorText().toStdString();
    for (int i = 0; i < kRecorded; ++i) {
        recorder.addFrame(uitest::syntheticFrame(i), i * 40);
        ASSERT_TRUE(log->waitForFrames(i + 1));
    }
    // The machine stops here: the crashed copy holds what had reached the disk, and the marker
    // of a writer that is gone.
    ASSERT_TRUE(QFile::copy(live, lost));
    ASSERT_TRUE(rectest::leaveStaleMarker(lost));
    EXPECT_FALSE(rectest::hasIndex(lost));
    EXPECT_LE(rectest::headerFrameCount(lost), 0);

    const QList<RecordingRecovery::Result> results =
        RecordingRecovery::recover({running.path(), crashed.path(), crashed.path() + "/."});
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results[0].fileName, lost);
    EXPECT_TRUE(results[0].repaired) << results[0].errorText.toStdString();
    EXPECT_EQ(results[0].errorText, QString());
    // At most the last second was still on its way to the disk.
    const int frames = results[0].frames;
    EXPECT_GE(frames, kRecorded - VideoRecorder::kFps);
    EXPECT_LE(frames, kRecorded);
    EXPECT_FALSE(QFile::exists(RecordingMarker::pathFor(lost)));
    EXPECT_TRUE(QFile::exists(RecordingMarker::pathFor(live)));
    EXPECT_EQ(QDir(crashed.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});

    // Playable: the index and the header's count are there, every frame in its place, the
    // length follows from the frames, and the metadata came along.
    EXPECT_TRUE(rectest::hasIndex(lost));
    EXPECT_EQ(rectest::headerFrameCount(lost), frames);
    QList<int> expected;
    for (int i = 0; i < frames; ++i) {
        expected << i;
    }
    EXPECT_EQ(uitest::decodedFrameIndexes(lost), expected);
    EXPECT_EQ(uitest::containerMetadata(lost),
              (QStringList{"comment=" + context.videoComment(), "title=" + context.videoTitle()}));
    QVideoDecoder decoder;
    ASSERT_TRUE(decoder.openFile(lost));
    EXPECT_EQ(decoder.getVideoLengthMs(), frames * 1000 / VideoRecorder::kFps);
    // Seeking goes through the index to the key frame before the target.
    QImage picture;
    ASSERT_TRUE(decoder.seekFrame(frames - 3));
    ASSERT_TRUE(decoder.getFrame(picture));
    EXPECT_EQ(uitest::frameIndexOf(picture), frames - 3);

    ASSERT_TRUE(recorder.stop(kRecorded * 40));
    EXPECT_FALSE(QFile::exists(RecordingMarker::pathFor(live)));
    EXPECT_TRUE(RecordingRecovery::recover({running.path(), crashed.path()}).isEmpty());
}

TEST(RecordingRecoveryTest, WhatCannotBeRepairedIsReportedAndKeptAsItWas) {
    QTemporaryDir dir;
    const auto path = [&dir](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    writeFile(path("a-empty.avi"), {});
    QByteArray garbage(5000, '\0');
    QRandomGenerator random(7);
    for (char& byte : garbage) {
        byte = static_cast<char>(random.bounded(256));
    }
    writeFile(path("b-garbage.avi"), garbage);
    // A recording that ended before its first frame reached the disk: the header alone.
    ASSERT_TRUE(rectest::writeUnfinished(path("c-header-only.avi"), 0));
    // Whose header is cut short.
    writeFile(path("d-cut-header.avi"), rectest::contentOf(path("c-header-only.avi")).left(300));
    // A recording whose marker was cut short while it was written: it names no writer.
    ASSERT_TRUE(rectest::writeUnfinished(path("e-marker-cut.avi"), 30));
    writeFile(RecordingMarker::pathFor(path("e-marker-cut.avi")), "recording e-mar");
    const QStringList broken{path("a-empty.avi"), path("b-garbage.avi"), path("c-header-only.avi"),
                             path("d-cut-header.avi")};
    QList<QByteArray> contents;
    for (const QString& file : broken) {
        contents << rectest::contentOf(file);
        ASSERT_TRUE(rectest::leaveStaleMarker(file));
    }
    // The file of this marker is gone.
    ASSERT_TRUE(rectest::leaveStaleMarker(path("f-gone.avi")));

    const QList<RecordingRecovery::Result> results =
        RecordingRecovery::recover({dir.path(), dir.filePath("missing")});
    ASSERT_EQ(results.size(), broken.size() + 1);
    for (int i = 0; i < broken.size(); ++i) {
        SCOPED_TRACE(broken[i].toStdString());
        EXPECT_EQ(results[i].fileName, broken[i]);
        EXPECT_FALSE(results[i].repaired);
        EXPECT_EQ(results[i].frames, 0);
        EXPECT_TRUE(results[i].errorText.contains(QFileInfo(broken[i]).fileName()))
            << results[i].errorText.toStdString();
        EXPECT_EQ(rectest::contentOf(broken[i]), contents[i]);
        EXPECT_TRUE(QFile::exists(RecordingMarker::pathFor(broken[i])));
    }
    EXPECT_EQ(results.last().fileName, path("e-marker-cut.avi"));
    EXPECT_TRUE(results.last().repaired) << results.last().errorText.toStdString();
    EXPECT_GE(results.last().frames, 25);
    EXPECT_EQ(uitest::decodedFrameIndexes(path("e-marker-cut.avi")).size(), results.last().frames);
    EXPECT_FALSE(QFile::exists(RecordingMarker::pathFor(path("e-marker-cut.avi"))));
    EXPECT_FALSE(QFile::exists(RecordingMarker::pathFor(path("f-gone.avi"))));
    // No temporary file of the repairs is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name).size(),
              2 * broken.size() + 1);
}

}  // namespace
