// One command of kxcxctl: the word that names it, its lines of the help text and its runner.
// Each command class gives its entry (or entries); CommandTable lists them.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

struct CommandEntry {
    // Runs the command with the words after its name; returns the process exit code.
    using Runner = int (*)(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err);

    std::string_view name;
    // Its lines of "kxcxctl --help", without indent or line end.
    std::vector<std::string_view> usage;
    Runner run;
};
