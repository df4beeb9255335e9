// Loading and saving a settings table, a list of (key, typed setting) pairs, through the files
// of a configDialog: the dialogs describe their settings as such tables.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "configDialog.h"

namespace kxui {

class ConfigTable {
public:
    using Entry = std::pair<std::string, configDialog::_ceType_>;

    // Reads the file; for every line, its first two white-space separated words are a key and
    // a value, and every entry whose key equals that key (letter case counts) gets the value
    // through its get codec. Returns the number of matches.
    static int load(configDialog& dialog, const std::vector<Entry>& table,
                    const std::string& fileName);
    // Writes one "KEY<separator>VALUE" line per entry, in table order, each followed by an
    // empty line. Returns the number of settings written, 0 on failure.
    static int save(configDialog& dialog, const std::vector<Entry>& table,
                    const std::string& fileName, const std::string& separator = "\t");
};

}  // namespace kxui
