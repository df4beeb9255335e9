// The gamma editor's trace: text appended to one file, kept under a size limit. When an append
// would take the file past the limit, the file becomes "<name>.old" (replacing an older one)
// and a new file starts, so the trace never takes more than twice the limit.
#pragma once

#include <QString>
#include <string>

namespace kxui {

class CurveTrace {
public:
    static constexpr qint64 kDefaultLimit = 1 << 20;

    // A trace that writes nothing.
    CurveTrace() = default;
    CurveTrace(const QString& fileName, qint64 limit);

    // The trace the environment asks for: KX_GAMMA_TRACE=1 traces into the editor's trace file
    // (GammaFiles::traceFile); anything else, or no root folder, traces nothing.
    static CurveTrace fromEnvironment();

    bool enabled() const { return !m_fileName.isEmpty(); }
    const QString& fileName() const { return m_fileName; }

    // Appends text; a file or folder that cannot be written loses it.
    void append(const std::string& text) const;

private:
    QString m_fileName;
    qint64 m_limit = kDefaultLimit;
};

}  // namespace kxui
