#include "RecordingRecovery.h"

#include <QFileInfo>
#include <QSet>

#include "RecordingMarker.h"
#include "RecordingRepair.h"
#include "VideoRecorder.h"

namespace hv {

QList<RecordingRecovery::Result> RecordingRecovery::recover(const QStringList& folders) {
    QList<Result> results;
    QSet<QString> seen;
    RecordingRepair repair(VideoRecorder::kFps);
    for (const QString& folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical)) {
            continue;
        }
        seen.insert(canonical);
        for (const RecordingMarker& marker : RecordingMarker::inFolder(canonical)) {
            if (marker.writerAlive()) {
                continue;
            }
            const QString recording = marker.recordingFile();
            if (!QFileInfo::exists(recording)) {
                RecordingMarker::remove(recording);
                continue;
            }
            Result result;
            result.fileName = recording;
            result.repaired = repair.repair(recording);
            result.frames = repair.frames();
            result.errorText = repair.errorText();
            if (result.repaired) {
                RecordingMarker::remove(recording);
            }
            results << result;
        }
    }
    return results;
}

}  // namespace hv
