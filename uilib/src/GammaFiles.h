// Where the gamma editor's files live: the gamma presets' folder, and the trace beside the
// settings folder, as PresetFolders places them (the program hands over its root's "Config").
#pragma once

#include <QString>

namespace kxui {

class GammaFiles {
public:
    // <root>/Config/Gamma.
    static QString tableFolder();
    // <root>/debug/CurveLog.txt.
    static QString traceFile();

    // The file name for a table name typed by the user: the name with ".txt" added when it
    // does not end so. Empty (refused) for an empty name or one with a blank, "/", "\", ":"
    // or "..", so the name stays one plain file in the folder.
    static QString tableFileName(const QString& typed);
};

}  // namespace kxui
