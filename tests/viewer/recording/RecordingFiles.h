// What the recording tests look at in the files they get, and the markers of recordings whose
// writer died.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "CaptureContext.h"
#include "QVideoEncoder.h"
#include "RecordingMarker.h"
#include "TestFrames.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace rectest {

// The frames an AVI file's header counts for its first stream; -1 when it cannot be read.
inline qint64 headerFrameCount(const QString& fileName) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, fileName.toUtf8().constData(), nullptr, nullptr) < 0) {
        return -1;
    }
    const qint64 frames = context->nb_streams > 0 ? context->streams[0]->nb_frames : -1;
    avformat_close_input(&context);
    return frames;
}

// True when the AVI file ends with its index ("idx1" chunk).
inline bool hasIndex(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("idx1");
}

inline QByteArray contentOf(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

// Leaves the marker of recordingFile as a process does that dies while it records: a child
// process writes it and ends without removing it. False when the child could not.
inline bool leaveStaleMarker(const QString& recordingFile) {
    const pid_t child = ::fork();
    if (child == 0) {
        _exit(hv::RecordingMarker::create(recordingFile) ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Writes fileName as a recording does that stops after frames frames without being closed: the
// encoder's file, copied as it is before the encoder finishes it. False when it could not.
inline bool writeUnfinished(const QString& fileName, int frames) {
    const QFileInfo info(fileName);
    const QString whole = info.path() + QStringLiteral("/whole-") + info.fileName();
    QVideoEncoder encoder;
    encoder.setMetadata(QStringLiteral("title"), QStringLiteral("unfinished"));
    if (!encoder.createFile(whole, 400, 400, 1000000, 20, 25)) {
        return false;
    }
    for (int i = 0; i < frames; ++i) {
        encoder.encodeImage(uitest::syntheticFrame(i));
    }
    const bool copied = QFile::copy(whole, fileName);
    encoder.close();
    return QFile::remove(whole) && copied;
}

inline hv::CaptureContext sampleContext() {
    return hv::CaptureContext{
        .captureTime = QDateTime(QDate(2026, 3, 1), QTime(9, 59, 30), Qt::OffsetFromUTC, 3600),
        .modelLabel = QStringLiteral("KX-2"),
        .serialNumber = QStringLiteral("00C0FFEE"),
        .fpgaVersion = QStringLiteral("3.1"),
        .mcuVersion = QStringLiteral("1.7"),
        .illumination = 40,
    };
}

}  // namespace rectest
