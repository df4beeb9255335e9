// Saving a preset: its settings table written as the file of its name in its folder (made when
// missing). The file is replaced whole or not at all; a failure is shown in a warning box.
#pragma once

#include <QString>
#include <string>

#include "ConfigTable.h"

namespace kxui {

class PresetFile {
public:
    // Writes table to folder/name.txt with separator between key and value. False, after a
    // warning titled title, when the file could not be written (an old file stays unchanged).
    static bool save(configDialog& dialog, const std::vector<ConfigTable::Entry>& table,
                     const std::string& folder, const QString& name, const QString& title,
                     const std::string& separator = "\t");
    // Copies text into a record's name buffer of size bytes, cut to whole UTF-8 characters.
    static void setText(char* buffer, size_t size, const QString& text);
};

}  // namespace kxui
