// Finds the recordings that were left unfinished (a crash, a kill, a power cut: their marker is
// still there and its writer no longer runs) and repairs them. Run at start-up over the folders
// recordings go to; the caller tells the operator what it found.
//
// A repaired recording loses its marker, and so does one whose file is gone. A recording that
// cannot be repaired keeps its file as it was and its marker, and is reported again next time.
// Markers of a writer that still runs (another viewer recording) are left alone.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace hv {

class RecordingRecovery {
public:
    struct Result {
        QString fileName;
        bool repaired = false;
        int frames = 0;     // frames the repaired recording holds
        QString errorText;  // why it could not be repaired
    };

    // Repairs the unfinished recordings in folders (each folder once, however often it is
    // named), folder by folder in the order given, by file name within a folder.
    static QList<Result> recover(const QStringList& folders);
};

}  // namespace hv
