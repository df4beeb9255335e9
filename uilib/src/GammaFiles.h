// Where the gamma editor's files live. The root folder is the one the program published in
// VELQUIN_ROOT (the viewer sets it when it enters its root); without it the editor has no
// folder and neither saves nor traces.
#pragma once

#include <QString>

namespace kxui {

class GammaFiles {
public:
    // "$VELQUIN_ROOT/Config/Gamma"; empty without a root.
    static QString tableFolder();
    // "$VELQUIN_ROOT/debug/CurveLog.txt"; empty without a root.
    static QString traceFile();

    // The file name for a table name typed by the user: the name with ".txt" added when it
    // does not end so. Empty (refused) for an empty name or one with a blank, "/", "\", ":"
    // or "..", so the name stays one plain file in the folder.
    static QString tableFileName(const QString& typed);
};

}  // namespace kxui
