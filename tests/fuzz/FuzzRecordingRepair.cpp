// Unfinished recordings are rebuilt by RecordingRepair. Whatever the file holds, the repair ends,
// leaves no file of its own behind, and a file it rebuilt is read back with the frames it wrote.
#include <QDir>
#include <QString>
#include <cstdint>
#include <string>

#include "FuzzScratch.h"
#include "RecordingRepair.h"

extern "C" {
#include <libavutil/log.h>
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);  // FFmpeg logs every damaged packet
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr int kFramesPerSecond = 25;
    const QString input = QString::fromStdString(fuzz::FuzzScratch::write("input.avi", data, size));
    hv::RecordingRepair repair(kFramesPerSecond);
    const bool repaired = repair.repair(input);
    if (repaired != (repair.frames() > 0) || repaired != repair.errorText().isEmpty()) {
        __builtin_trap();
    }
    if (repaired) {
        hv::RecordingRepair again(kFramesPerSecond);
        if (!again.repair(input) || again.frames() != repair.frames()) {
            __builtin_trap();
        }
    }
    const QStringList left = QDir(QString::fromStdString(fuzz::FuzzScratch::folder()))
                                 .entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (left != QStringList{QStringLiteral("input.avi")}) {
        __builtin_trap();
    }
    return 0;
}
