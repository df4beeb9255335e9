// The recorder places frames by the caller's clock, writes on a thread of its own, survives a
// full disk, and never makes its caller wait.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cerrno>
#include <system_error>
#include <thread>

#include "FileSizeLimit.h"
#include "QVideoDecoder.h"
#include "RecordingFiles.h"
#include "RecordingMarker.h"
#include "RecordingRepair.h"
#include "TestFrames.h"
#include "VideoRecorder.h"
#include "WatchedEncoder.h"

using hv::RecordingMarker;
using hv::VideoRecorder;

namespace {

// Frames show their number modulo this (the synthetic frames tell about 60 apart).
constexpr int kNumbers = 50;

QList<QImage> numberedFrames(QSize size, QImage::Format format) {
    QList<QImage> frames;
    for (int i = 0; i < kNumbers; ++i) {
        frames << uitest::syntheticFrame(i, size.width(), size.height(), format);
    }
    return frames;
}

// The frame that 25 frames/s slot shows when count frames are taken at perSecond from time 0:
// the first frame taken in the latest slot, at or before this one, that any frame was taken in.
int expectedFrame(int slot, int perSecond, int count) {
    const auto slotOf = [perSecond](int frame) { return frame * 1000 / perSecond * 25 / 1000; };
    int latestSlot = -1;
    int first = 0;
    for (int frame = 0; frame < count && slotOf(frame) <= slot; ++frame) {
        if (slotOf(frame) > latestSlot) {
            latestSlot = slotOf(frame);
            first = frame;
        }
    }
    return first;
}

// Every file and folder under folder, by path.
QStringList everythingIn(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        entries << it.next();
    }
    entries.sort();
    return entries;
}

class VideoRecorderTest : public testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::shared_ptr<rectest::EncoderLog> m_log = std::make_shared<rectest::EncoderLog>();
    const hv::CaptureContext m_context = rectest::sampleContext();
};

TEST_F(VideoRecorderTest, FramesArePlacedByTheCallersClock) {
    struct Case {
        const char* file;
        int perSecond;
        qint64 feedMs;
        qint64 stopMs;
        QSize size;
        QImage::Format format;
        int frames;
    };
    const Case cases[] = {
        // More frames than slots: the frames that find their slot written are left out.
        {"thirty.avi", 30, 10000, 10000, {320, 240}, QImage::Format_RGB888, 250},
        // Fewer: a frame is repeated in the slots nobody took.
        {"fifteen.avi", 15, 10000, 10000, {400, 400}, QImage::Format_ARGB32, 250},
        // Stopped a second after the last frame: that frame fills the second.
        {"padded.avi", 15, 2000, 3000, {640, 480}, QImage::Format_RGB32, 75},
    };
    // One recorder for all: it records again after a stop.
    VideoRecorder recorder(rectest::watchedEncoders(m_log));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = path(c.file);
        const QList<QImage> frames = numberedFrames(c.size, c.format);
        ASSERT_TRUE(recorder.start(file, m_context)) << recorder.errorText().toStdString();
        EXPECT_TRUE(recorder.recording());
        EXPECT_EQ(recorder.fileName(), file);
        EXPECT_TRUE(QFile::exists(RecordingMarker::pathFor(file)));
        const int before = m_log->encoded();
        int fed = 0;
        for (; fed * 1000 / c.perSecond < c.feedMs; ++fed) {
            const qint64 taken = fed * 1000 / c.perSecond;
            recorder.addFrame(frames[fed % kNumbers], taken);
            // Paced by the encoder, not by a clock: the frame's slot is written before the next.
            ASSERT_TRUE(m_log->waitForFrames(before + static_cast<int>(taken * 25 / 1000) + 1));
        }
        ASSERT_TRUE(recorder.stop(c.stopMs)) << recorder.errorText().toStdString();
        EXPECT_FALSE(recorder.recording());
        EXPECT_FALSE(QFile::exists(RecordingMarker::pathFor(file)));
        EXPECT_EQ(recorder.framesWritten(), c.frames);
        EXPECT_EQ(recorder.framesDropped(), 0);

        const QList<int> shown = uitest::decodedFrameIndexes(file);
        ASSERT_EQ(shown.size(), c.frames);
        QStringList misplaced;
        for (int slot = 0; slot < c.frames; ++slot) {
            const int expected = expectedFrame(slot, c.perSecond, fed) % kNumbers;
            if (shown[slot] != expected) {
                misplaced << QStringLiteral("slot %1 shows %2, not %3")
                                 .arg(slot)
                                 .arg(shown[slot])
                                 .arg(expected);
            }
        }
        EXPECT_EQ(misplaced.join("; ").toStdString(), "");
        QVideoDecoder decoder;
        ASSERT_TRUE(decoder.openFile(file));
        EXPECT_EQ(decoder.getVideoLengthMs(), c.frames * 1000 / VideoRecorder::kFps);
        EXPECT_EQ(uitest::containerMetadata(file),
                  (QStringList{"comment=" + m_context.videoComment(),
                               "title=" + m_context.videoTitle()}));
    }
    // The encoder is used by the encoding thread, and closed by the caller after it ended.
    const std::set<std::thread::id> caller{std::this_thread::get_id()};
    EXPECT_EQ(m_log->encodingThreads().count(std::this_thread::get_id()), 0u);
    EXPECT_EQ(m_log->closingThreads(), caller);
    EXPECT_EQ(m_log->encodedAfterClose(), 0);
}

TEST_F(VideoRecorderTest, StartLeavesNothingWhereTheFileCannotBeMade) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.avi"));
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    struct Refusal {
        QString file;
        int code;
    };
    QList<Refusal> refusals{{path("missing/clip.avi"), ENOENT},
                            {path("plain/clip.avi"), ENOTDIR},
                            {path("folder.avi"), EISDIR}};
    // The superuser writes into read-only folders.
    if (::geteuid() != 0) {
        ASSERT_TRUE(QDir(m_dir.path()).mkdir("read-only"));
        QFile::setPermissions(path("read-only"), QFile::ReadOwner | QFile::ExeOwner);
        refusals << Refusal{path("read-only/clip.avi"), EACCES};
    }
    const QStringList before = everythingIn(m_dir.path());
    VideoRecorder recorder(rectest::watchedEncoders(m_log));
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.file.toStdString());
        EXPECT_FALSE(recorder.start(refusal.file, m_context));
        EXPECT_FALSE(recorder.recording());
        const QString reason = QString::fromStdString(std::system_category().message(refusal.code));
        EXPECT_TRUE(recorder.errorText().contains(QDir::toNativeSeparators(refusal.file)))
            << recorder.errorText().toStdString();
        EXPECT_TRUE(recorder.errorText().contains(reason)) << recorder.errorText().toStdString();
        EXPECT_EQ(everythingIn(m_dir.path()), before);
        recorder.addFrame(uitest::syntheticFrame(0), 0);
        EXPECT_FALSE(recorder.stop(0));
    }
    EXPECT_EQ(m_log->encoded(), 0);

    // After the refusals a recording starts; a second one cannot start beside it.
    const QString file = path("clip.avi");
    ASSERT_TRUE(recorder.start(file, m_context)) << recorder.errorText().toStdString();
    EXPECT_FALSE(recorder.start(path("second.avi"), m_context));
    EXPECT_FALSE(recorder.errorText().isEmpty());
    EXPECT_FALSE(QFile::exists(path("second.avi")));
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(recorder.fileName(), file);

    // A recorder that goes while it records finishes its file, without padding it.
    {
        VideoRecorder going;
        const QString goingFile = path("going.avi");
        ASSERT_TRUE(going.start(goingFile, m_context));
        for (int i = 0; i < 3; ++i) {
            going.addFrame(uitest::syntheticFrame(i), i * 40);
        }
    }
    EXPECT_FALSE(QFile::exists(RecordingMarker::pathFor(path("going.avi"))));
    EXPECT_TRUE(rectest::hasIndex(path("going.avi")));
    EXPECT_EQ(uitest::decodedFrameIndexes(path("going.avi")), (QList<int>{0, 1, 2}));
    EXPECT_TRUE(recorder.stop(0));
}

TEST_F(VideoRecorderTest, AFullDiskEndsTheRecordingWithOneReport) {
    constexpr rlim_t kRoom = 64 * 1024;
    const QString file = path("full.avi");
    const QList<QImage> frames = numberedFrames({400, 400}, QImage::Format_RGB32);
    VideoRecorder recorder(rectest::watchedEncoders(m_log));
    QSignalSpy failures(&recorder, &VideoRecorder::writeFailed);
    int fed = 0;
    {
        const uitest::FileSizeLimit limit(kRoom);
        ASSERT_TRUE(recorder.start(file, m_context)) << recorder.errorText().toStdString();
        for (; fed < 1000 && !m_log->failed(); ++fed) {
            recorder.addFrame(frames[fed % kNumbers], fed * 40);
            ASSERT_TRUE(m_log->waitForFrames(fed + 1));
        }
        ASSERT_TRUE(m_log->failed()) << "the file took " << fed << " frames";
        ASSERT_TRUE(failures.wait(20000));
        recorder.addFrame(frames[0], fed * 40);
        QCoreApplication::processEvents();
        ASSERT_EQ(failures.count(), 1);
        EXPECT_EQ(failures[0][0].toString(), file);
        EXPECT_FALSE(failures[0][1].toString().isEmpty());
        EXPECT_EQ(failures[0][1].toString(), recorder.errorText());
        EXPECT_TRUE(recorder.recording());

        EXPECT_FALSE(recorder.stop(fed * 40 + 1000));
        EXPECT_FALSE(recorder.recording());
        EXPECT_FALSE(recorder.errorText().isEmpty());
        QCoreApplication::processEvents();
        EXPECT_EQ(failures.count(), 1);
    }
    // The marker stays for the repair at the next start.
    EXPECT_TRUE(QFile::exists(RecordingMarker::pathFor(file)));
    EXPECT_LE(QFileInfo(file).size(), static_cast<qint64>(kRoom));
    EXPECT_EQ(recorder.framesWritten(), fed - 1);

    // What reached the file decodes, frame by frame up to the failure (the last one may be cut).
    const QList<int> shown = uitest::decodedFrameIndexes(file);
    ASSERT_GT(shown.size(), 1);
    EXPECT_LE(shown.size(), recorder.framesWritten());
    for (int i = 0; i + 1 < shown.size(); ++i) {
        EXPECT_EQ(shown[i], i % kNumbers) << "frame " << i;
    }
    hv::RecordingRepair repair(VideoRecorder::kFps);
    ASSERT_TRUE(repair.repair(file)) << repair.errorText().toStdString();
    EXPECT_GE(repair.frames(), shown.size() - 1);
    EXPECT_EQ(uitest::decodedFrameIndexes(file).size(), repair.frames());
}

TEST_F(VideoRecorderTest, AFullQueueDropsFramesWithoutWaiting) {
    const QString file = path("held.avi");
    const QList<QImage> frames = numberedFrames({400, 400}, QImage::Format_RGB32);
    VideoRecorder recorder(rectest::watchedEncoders(m_log));
    ASSERT_TRUE(recorder.start(file, m_context));
    m_log->hold();
    recorder.addFrame(frames[0], 0);
    ASSERT_TRUE(m_log->waitUntilHeld());
    // The encoding thread is held inside frame 0: the queue fills, and then frames are dropped.
    constexpr int kOver = 5;
    for (int i = 1; i <= VideoRecorder::kQueueCapacity + kOver; ++i) {
        recorder.addFrame(frames[i], i * 40);
    }
    EXPECT_EQ(recorder.framesDropped(), kOver);
    EXPECT_EQ(recorder.framesWritten(), 0);
    m_log->release();

    const int queued = VideoRecorder::kQueueCapacity + 1;
    const int stopSlot = queued + kOver;
    ASSERT_TRUE(recorder.stop(stopSlot * 40)) << recorder.errorText().toStdString();
    EXPECT_EQ(recorder.framesWritten(), stopSlot);
    EXPECT_EQ(recorder.framesDropped(), kOver);
    QList<int> expected;
    for (int slot = 0; slot < stopSlot; ++slot) {
        expected << std::min(slot, queued - 1);
    }
    EXPECT_EQ(uitest::decodedFrameIndexes(file), expected);
}

}  // namespace
