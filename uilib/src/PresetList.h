// The presets of a folder: the names of its ".txt" files without the extension, in name order.
// Hidden files, backups ("x.txt.bak", "x.bak.txt", "x.txt~") and the temporary files of a save
// in progress are not presets.
#pragma once

#include <QStringList>
#include <string>

class QComboBox;
class configDialog;

namespace kxui {

class PresetList {
public:
    // The preset names of folder; a missing folder has none (other listing errors are shown
    // by the dialog's warning box).
    static QStringList names(configDialog& dialog, const std::string& folder);
    // Whether fileName names a preset file.
    static bool isPresetFile(const std::string& fileName);
    // Refills combo with first (when not empty) followed by the presets of folder, without
    // emitting its signals; the current item is the first one.
    static void fill(QComboBox& combo, configDialog& dialog, const QString& first,
                     const std::string& folder);
};

}  // namespace kxui
