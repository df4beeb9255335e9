// Records the live frames into an AVI file on an encoding thread of its own, so that the caller
// (the GUI thread) never waits for the encoder or the disk.
//
// Frames are placed by the caller's clock, not counted: a frame taken elapsedMs after the start
// goes into frame slot elapsedMs * 25 / 1000 of the 25 frames/s file. A frame whose slot is
// already written is skipped; a gap is filled by repeating the frame before it, once for each
// missing slot. So a recording fed at 30 or 15 frames/s for 10 s holds 250 frames and plays 10 s.
//
// While a recording is written a marker stands beside it (RecordingMarker), removed once the
// file is finished; a recording cut short by a crash, a kill or a power cut keeps its marker,
// and the next start repairs it (RecordingRecovery).
//
// The encoder is used by one thread at a time: it is made and given its file on the caller's
// thread in start() before the encoding thread starts, used by that thread alone, and closed on
// the caller's thread in stop() after that thread has ended.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "CaptureContext.h"

class QVideoEncoder;

namespace hv {

class RecordingQueue;

class VideoRecorder : public QObject {
    Q_OBJECT

public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 400;
    static constexpr int kBitrate = 1000000;
    static constexpr int kGop = 20;
    static constexpr int kFps = 25;
    // Frames that may wait for the encoding thread (a quarter of a second at 30 frames/s).
    static constexpr int kQueueCapacity = 8;

    // Makes the encoder of each recording.
    using EncoderFactory = std::function<std::unique_ptr<QVideoEncoder>()>;

    explicit VideoRecorder(QObject* parent = nullptr);
    // A recorder whose recordings are written by the encoders makeEncoder gives.
    explicit VideoRecorder(EncoderFactory makeEncoder, QObject* parent = nullptr);
    ~VideoRecorder() override;  // a running recording is stopped and its file finished

    // Creates fileName (its folder exists) as a 400 x 400, 1 Mbit/s, GOP 20, 25 frames/s AVI with
    // the context's title and comment, writes the unfinished-recording marker beside it and starts
    // the encoding thread. False, with no file and no marker left, when the file cannot be created;
    // errorText() then says why in words.
    bool start(const QString& fileName, const CaptureContext& context);
    // Queues a frame taken elapsedMs after start (the caller's clock). Never waits for the encoder:
    // with the bounded queue full the frame is dropped and counted. Any format/size: converted to
    // 400 x 400 RGB32 on the encoding thread. The caller may modify its own QImage afterwards.
    void addFrame(const QImage& frame, qint64 elapsedMs);
    // Drains the queue, repeats the last frame up to elapsedMs, closes the file (index written) and
    // removes the marker. False when the file could not be finished (errorText()); a file that
    // could not be finished keeps its marker so that the next start repairs it.
    bool stop(qint64 elapsedMs);
    bool recording() const;
    QString fileName() const;
    QString errorText() const;
    int framesWritten() const;  // frames in the file so far (including repeats)
    int framesDropped() const;  // frames dropped because the queue was full

signals:
    // Writing failed part way (a full disk): emitted once, on the thread that owns the recorder,
    // after the encoding thread stopped; the owner then calls stop() and tells the operator.
    void writeFailed(const QString& fileName, const QString& reason);

private:
    // The frame slot of a time after the start.
    static qint64 slotAt(qint64 elapsedMs);
    // Removes what a failed start made: the marker, and the file unless it was there before.
    void undoStart(const QString& fileName, bool fileExisted);
    // The encoding thread.
    void encodeFrames(quint64 generation);
    // Encoding thread: writes picture into every slot from m_nextSlot up to (not including)
    // endSlot; false when writing failed.
    bool fillUpTo(qint64 endSlot, const QImage& picture);
    // Owner's thread: the encoding thread of recording generation ended on a write failure.
    void reportWriteFailure(quint64 generation);
    // Why writing the file failed, as far as the disk tells.
    QString writeFailureReason() const;

    EncoderFactory m_makeEncoder;
    std::unique_ptr<QVideoEncoder> m_encoder;
    std::unique_ptr<RecordingQueue> m_queue;
    std::thread m_worker;
    QString m_fileName;
    QString m_errorText;
    bool m_recording = false;
    // Counts the recordings started, so that a failure report of an earlier one is let go.
    quint64 m_generation = 0;
    // Encoding thread only, while it runs: the next slot to write.
    qint64 m_nextSlot = 0;
    std::atomic<int> m_framesWritten{0};
    std::atomic<bool> m_writeFailed{false};
};

}  // namespace hv
