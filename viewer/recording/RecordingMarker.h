// The mark a recording leaves beside its file while it is written: a hidden file in the same
// folder, ".<file name>.recording", naming the recording and the process that writes it. It is
// made before the first byte of the recording and removed once the file is finished, both
// durably (the file and then its folder reach the disk), so a marker found later belongs to a
// recording that was never finished: the program crashed or was killed, or the machine lost its
// power. Unless its writer still runs: another viewer may be recording into the same folder.
//
// A process is told by its id, its start time and the boot it runs in, so that a process id
// reused after a restart or by another program does not keep a stale marker alive.
#pragma once

#include <QList>
#include <QString>

namespace hv {

class RecordingMarker {
public:
    // The marker of recordingFile: ".<file name>.recording" in the recording's folder.
    static QString pathFor(const QString& recordingFile);
    // Writes the marker of recordingFile, naming this process, and syncs it and its folder to
    // the disk. False when it cannot be made (nothing is left then); why, when given, says why.
    static bool create(const QString& recordingFile, QString* why = nullptr);
    // Removes the marker of recordingFile and syncs the folder. True when no marker is left.
    static bool remove(const QString& recordingFile);
    // The markers in folder, by file name; none for a folder that cannot be read.
    static QList<RecordingMarker> inFolder(const QString& folder);
    // Reads one marker file. What cannot be read of it stays unknown: a marker without its
    // writer counts as stale, one without the recording's name names the file it marks by its
    // own name.
    static RecordingMarker read(const QString& markerFile);

    QString markerFile() const { return m_markerFile; }
    // The recording's path: its name in the marker's folder.
    QString recordingFile() const { return m_recordingFile; }
    // The writer's process id; 0 when the marker does not say.
    qint64 processId() const { return m_processId; }
    // True while the process that wrote the marker still runs.
    bool writerAlive() const;

private:
    QString m_markerFile;
    QString m_recordingFile;
    qint64 m_processId = 0;
    // The writer's start, in clock ticks after boot, and its boot's id; empty when unknown.
    QString m_processStart;
    QString m_bootId;
};

}  // namespace hv
