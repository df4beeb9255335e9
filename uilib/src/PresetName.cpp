#include "PresetName.h"

namespace kxui {

bool PresetName::safeAsFile(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1String("..")) ||
        name.toUtf8().size() > kMaxBytes) {
        return false;
    }
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || c == QLatin1Char('/') ||
            c == QLatin1Char('\\') || c == QLatin1Char(':')) {
            return false;
        }
    }
    return true;
}

bool PresetName::acceptable(const QString& name) {
    if (!safeAsFile(name)) {
        return false;
    }
    for (const QChar c : name) {
        if (c.isSpace()) {
            return false;
        }
    }
    return true;
}

}  // namespace kxui
