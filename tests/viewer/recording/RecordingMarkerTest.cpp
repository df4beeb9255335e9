// A recording's marker names its writer, and tells a writer that still runs from one that died,
// whose process id may since belong to another process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "RecordingFiles.h"
#include "RecordingMarker.h"

using hv::RecordingMarker;

namespace {

// The marker file with the line starting with key replaced by key and value.
void rewriteLine(const QString& markerFile, const QByteArray& key, const QByteArray& value) {
    QByteArrayList lines = rectest::contentOf(markerFile).split('\n');
    for (QByteArray& line : lines) {
        if (line.startsWith(key + ' ')) {
            line = key + ' ' + value;
        }
    }
    QFile file(markerFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
}

TEST(RecordingMarkerTest, TellsARunningWriterFromOneThatIsGone) {
    QTemporaryDir dir;
    const QString file = dir.filePath("clip one.avi");
    const QString marker = RecordingMarker::pathFor(file);
    EXPECT_EQ(marker, dir.filePath(".clip one.avi.recording"));

    QString why;
    ASSERT_TRUE(RecordingMarker::create(file, &why)) << why.toStdString();
    QList<RecordingMarker> found = RecordingMarker::inFolder(dir.path());
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].markerFile(), marker);
    EXPECT_EQ(found[0].recordingFile(), file);
    EXPECT_EQ(found[0].processId(), ::getpid());
    EXPECT_TRUE(found[0].writerAlive());

    // The same process id, but a process that started at another time, or in an earlier boot.
    rewriteLine(marker, "started", "1");
    EXPECT_FALSE(RecordingMarker::read(marker).writerAlive());
    ASSERT_TRUE(RecordingMarker::create(file));
    rewriteLine(marker, "boot", "00000000-0000-0000-0000-000000000000");
    EXPECT_FALSE(RecordingMarker::read(marker).writerAlive());

    // A writer that ended: before its parent reaps it, and after.
    const pid_t child = ::fork();
    if (child == 0) {
        _exit(RecordingMarker::create(file) ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    siginfo_t ended{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT), 0);
    RecordingMarker left = RecordingMarker::read(marker);
    EXPECT_EQ(left.processId(), child);
    EXPECT_FALSE(left.writerAlive());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(left.writerAlive());

    // A marker that names another recording, or none, marks the file of its own name.
    rewriteLine(marker, "recording", "../elsewhere.avi");
    EXPECT_EQ(RecordingMarker::read(marker).recordingFile(), file);
    QFile::resize(marker, 0);
    EXPECT_EQ(RecordingMarker::read(marker).recordingFile(), file);
    EXPECT_EQ(RecordingMarker::read(marker).processId(), 0);
    EXPECT_FALSE(RecordingMarker::read(marker).writerAlive());

    EXPECT_TRUE(RecordingMarker::remove(file));
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(RecordingMarker::remove(file));
    EXPECT_TRUE(RecordingMarker::inFolder(dir.path()).isEmpty());

    // Where no marker can be made, none is left, and why says why.
    EXPECT_FALSE(RecordingMarker::create(dir.filePath("missing/clip.avi"), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
    EXPECT_TRUE(RecordingMarker::inFolder(dir.filePath("missing")).isEmpty());
}

}  // namespace
