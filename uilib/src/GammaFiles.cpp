#include "GammaFiles.h"

#include "PresetFolders.h"

namespace kxui {

QString GammaFiles::tableFolder() {
    return QString::fromStdString(PresetFolders::gamma());
}

QString GammaFiles::traceFile() {
    return QString::fromStdString(PresetFolders::debug() + "/CurveLog.txt");
}

QString GammaFiles::tableFileName(const QString& typed) {
    if (typed.isEmpty() || typed.contains("..")) {
        return {};
    }
    for (const QChar c : typed) {
        if (c.isSpace() || c == '/' || c == '\\' || c == ':' || !c.isPrint()) {
            return {};
        }
    }
    return typed.endsWith(".txt", Qt::CaseInsensitive) ? typed : typed + ".txt";
}

}  // namespace kxui
