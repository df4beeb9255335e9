#include "CurveTrace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <cstring>

#include "GammaFiles.h"

namespace kxui {

CurveTrace::CurveTrace(const QString& fileName, qint64 limit)
    : m_fileName(fileName), m_limit(limit) {}

CurveTrace CurveTrace::fromEnvironment() {
    const char* asked = std::getenv("KX_GAMMA_TRACE");
    if (asked == nullptr || std::strcmp(asked, "1") != 0) {
        return {};
    }
    return CurveTrace(GammaFiles::traceFile(), kDefaultLimit);
}

void CurveTrace::append(const std::string& text) const {
    if (!enabled()) {
        return;
    }
    const QFileInfo info(m_fileName);
    QDir().mkpath(info.absolutePath());
    if (info.exists() && info.size() + static_cast<qint64>(text.size()) > m_limit) {
        const QString previous = m_fileName + ".old";
        QFile::remove(previous);
        QFile::rename(m_fileName, previous);
    }
    QFile file(m_fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
}

}  // namespace kxui
