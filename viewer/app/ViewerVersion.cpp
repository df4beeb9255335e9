#include "ViewerVersion.h"

#include <cstdio>

namespace hv {

const char* ViewerVersion::text() {
    static const char* const formatted = [] {
        static char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%d.%02d", kMajor, kMinor);
        return buffer;
    }();
    return formatted;
}

QString ViewerVersion::windowTitle() {
    return QStringLiteral(" Nelvora Orlo - V%1").arg(QString::fromLatin1(text()));
}

}  // namespace hv
