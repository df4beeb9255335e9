#include "ConfigTable.h"

#include <list>

namespace kxui {

namespace {

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The next white-space separated word of line from position on; empty when there is none.
std::string nextWord(const std::string& line, size_t& position) {
    while (position < line.size() && isBlank(line[position])) {
        ++position;
    }
    const size_t begin = position;
    while (position < line.size() && !isBlank(line[position])) {
        ++position;
    }
    return line.substr(begin, position - begin);
}

}  // namespace

int ConfigTable::load(configDialog& dialog, const std::vector<Entry>& table,
                      const std::string& fileName) {
    std::list<std::string> lines;
    dialog.readConfig(lines, fileName);
    int matches = 0;
    for (const std::string& line : lines) {
        size_t position = 0;
        const std::string key = nextWord(line, position);
        const std::string value = nextWord(line, position);
        if (value.empty()) {
            continue;  // fewer than two words: an empty line or a key alone
        }
        for (const Entry& entry : table) {
            if (entry.first == key && entry.second.getCodec != nullptr) {
                entry.second.getCodec(entry.second.field, value);
                ++matches;
            }
        }
    }
    return matches;
}

int ConfigTable::save(configDialog& dialog, const std::vector<Entry>& table,
                      const std::string& fileName, const std::string& separator) {
    std::list<std::string> lines;
    for (const Entry& entry : table) {
        const std::string value =
            entry.second.putCodec != nullptr ? entry.second.putCodec(entry.second.field) : "";
        // Each string ends in a line feed of its own; writeConfig adds the empty line after it.
        lines.push_back(entry.first + separator + value + "\n");
    }
    return dialog.writeConfig(fileName, lines) > 0 ? static_cast<int>(table.size()) : 0;
}

}  // namespace kxui
