#include "GammaFiles.h"

#include <cstdlib>

namespace kxui {

namespace {

QString underRoot(const char* relative) {
    const char* root = std::getenv("VELQUIN_ROOT");
    if (root == nullptr || root[0] == '\0') {
        return {};
    }
    return QString::fromLocal8Bit(root) + '/' + relative;
}

}  // namespace

QString GammaFiles::tableFolder() {
    return underRoot("Config/Gamma");
}

QString GammaFiles::traceFile() {
    return underRoot("debug/CurveLog.txt");
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
