// kxcxctl's commands in one table: the help text lists them in table order and a command's name
// picks its runner. A new command adds its row to commands() and nothing else here.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

#include "CommandEntry.h"

class CommandTable {
public:
    explicit CommandTable(std::vector<CommandEntry> entries);

    // Every command of kxcxctl, in the order of its help text.
    static const CommandTable& commands();

    // The entry named name, or nullptr when no command has that name.
    const CommandEntry* find(std::string_view name) const;
    // Every entry's usage lines, in table order, each indented by two spaces on a line of its own.
    void writeUsage(std::ostream& out) const;

    const std::vector<CommandEntry>& entries() const { return entries_; }

private:
    std::vector<CommandEntry> entries_;
};
