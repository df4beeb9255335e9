#include "VideoRecorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <system_error>

#include "FrameFitter.h"
#include "QVideoEncoder.h"
#include "RecordingMarker.h"
#include "RecordingQueue.h"

namespace hv {

namespace {

// Times past a day are taken as a day: the frame slots stay far inside the encoder's range.
constexpr qint64 kLongestElapsedMs = 24LL * 3600 * 1000;

// Below this much free space a write that failed is put down to a full disk.
constexpr qint64 kFullDiskBytes = 1024 * 1024;

QString shownName(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

}  // namespace

VideoRecorder::VideoRecorder(QObject* parent)
    : VideoRecorder([] { return std::make_unique<QVideoEncoder>(); }, parent) {}

VideoRecorder::VideoRecorder(EncoderFactory makeEncoder, QObject* parent)
    : QObject(parent), m_makeEncoder(std::move(makeEncoder)) {}

VideoRecorder::~VideoRecorder() {
    if (m_recording) {
        stop(0);
    }
}

qint64 VideoRecorder::slotAt(qint64 elapsedMs) {
    return std::clamp<qint64>(elapsedMs, 0, kLongestElapsedMs) * kFps / 1000;
}

bool VideoRecorder::start(const QString& fileName, const CaptureContext& context) {
    if (m_recording) {
        m_errorText = QStringLiteral("A recording is already being written to %1.")
                          .arg(shownName(m_fileName));
        return false;
    }
    m_errorText.clear();
    const QByteArray name = QFile::encodeName(fileName);
    const bool existed = QFileInfo::exists(fileName);
    // The file is made here first: the encoder cannot say why it could not make it.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_errorText = QStringLiteral("Cannot create %1: %2.")
                          .arg(shownName(fileName),
                               QString::fromStdString(std::system_category().message(errno)));
        return false;
    }
    ::close(fd);
    QString why;
    if (!RecordingMarker::create(fileName, &why)) {
        undoStart(fileName, existed);
        m_errorText =
            QStringLiteral("Cannot create %1: its recording marker cannot be written (%2).")
                .arg(shownName(fileName), why);
        return false;
    }
    std::unique_ptr<QVideoEncoder> encoder = m_makeEncoder();
    if (encoder) {
        encoder->setMetadata(QStringLiteral("title"), context.videoTitle());
        encoder->setMetadata(QStringLiteral("comment"), context.videoComment());
    }
    if (!encoder || !encoder->createFile(fileName, kWidth, kHeight, kBitrate, kGop, kFps)) {
        undoStart(fileName, existed);
        m_errorText = QStringLiteral("Cannot create %1: the video encoder cannot write it.")
                          .arg(shownName(fileName));
        return false;
    }
    m_encoder = std::move(encoder);
    m_queue = std::make_unique<RecordingQueue>(kQueueCapacity);
    m_fileName = fileName;
    m_nextSlot = 0;
    m_framesWritten = 0;
    m_writeFailed = false;
    m_recording = true;
    m_worker = std::thread(&VideoRecorder::encodeFrames, this, ++m_generation);
    return true;
}

void VideoRecorder::undoStart(const QString& fileName, bool fileExisted) {
    RecordingMarker::remove(fileName);
    if (!fileExisted) {
        QFile::remove(fileName);
    }
}

void VideoRecorder::addFrame(const QImage& frame, qint64 elapsedMs) {
    if (m_recording && !frame.isNull()) {
        // A copy of its own: the encoding thread never reads pixels that the caller writes
        // again once Qt's sharing count says the picture is free, a hand-over that the thread
        // sanitizer cannot see inside the uninstrumented Qt library. 640 KB at 30 frames/s.
        m_queue->push(frame.copy(), elapsedMs);
    }
}

bool VideoRecorder::stop(qint64 elapsedMs) {
    if (!m_recording) {
        m_errorText = QStringLiteral("No recording is being written.");
        return false;
    }
    m_queue->close(elapsedMs);
    if (m_worker.joinable()) {
        m_worker.join();
    }
    // A failure report still on its way belongs to this recording, which ends here.
    ++m_generation;
    m_recording = false;
    const bool closed = m_encoder->close();
    m_encoder.reset();
    if (m_writeFailed) {
        m_errorText = writeFailureReason();
        return false;
    }
    if (!closed) {
        m_errorText = QStringLiteral("%1 could not be finished: writing its end failed.")
                          .arg(shownName(m_fileName));
        return false;
    }
    RecordingMarker::remove(m_fileName);
    return true;
}

bool VideoRecorder::recording() const {
    return m_recording;
}

QString VideoRecorder::fileName() const {
    return m_fileName;
}

QString VideoRecorder::errorText() const {
    return m_errorText;
}

int VideoRecorder::framesWritten() const {
    return m_framesWritten;
}

int VideoRecorder::framesDropped() const {
    return m_queue ? m_queue->dropped() : 0;
}

void VideoRecorder::encodeFrames(quint64 generation) {
    FrameFitter fitter(kWidth, kHeight);
    QImage last;  // the picture written last
    bool written = true;
    while (written) {
        std::optional<RecordingQueue::Entry> entry = m_queue->pop();
        if (!entry) {
            break;
        }
        const qint64 slot = slotAt(entry->elapsedMs);
        if (slot < m_nextSlot) {
            continue;  // its slot is written already
        }
        const QImage picture = fitter.fit(entry->frame);
        // The first frame also fills the slots before it.
        written = fillUpTo(slot, last.isNull() ? picture : last) && fillUpTo(slot + 1, picture);
        last = picture;
    }
    if (written && !last.isNull()) {
        written = fillUpTo(slotAt(m_queue->endMs()), last);
    }
    if (!written) {
        m_queue->abandon();
        m_writeFailed = true;
        QMetaObject::invokeMethod(
            this, [this, generation] { reportWriteFailure(generation); }, Qt::QueuedConnection);
    }
}

bool VideoRecorder::fillUpTo(qint64 endSlot, const QImage& picture) {
    for (; m_nextSlot < endSlot; ++m_nextSlot) {
        if (m_encoder->encodeImagePts(picture, static_cast<unsigned>(m_nextSlot)) < 0) {
            return false;
        }
        ++m_framesWritten;
    }
    return true;
}

void VideoRecorder::reportWriteFailure(quint64 generation) {
    if (generation != m_generation || !m_worker.joinable()) {
        return;  // stop() came first and has told its caller
    }
    m_worker.join();
    m_errorText = writeFailureReason();
    emit writeFailed(m_fileName, m_errorText);
}

QString VideoRecorder::writeFailureReason() const {
    const QFileInfo file(m_fileName);
    if (!file.dir().exists()) {
        return QStringLiteral("Writing %1 failed: its folder is gone (was the disk removed?).")
            .arg(shownName(m_fileName));
    }
    const QStorageInfo disk(file.absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < kFullDiskBytes) {
        return QStringLiteral("Writing %1 failed: the disk is full.").arg(shownName(m_fileName));
    }
    return QStringLiteral("Writing %1 failed: the disk took no more of it.")
        .arg(shownName(m_fileName));
}

}  // namespace hv
