// "kxcxctl regfile PATH": sends a register file to the board's sensor with a progress bar, and
// warns about the lines that are skipped or not read whole.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class RegFileCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "regfile": its help lines and run.
    static CommandEntry entry();

private:
    // Warns about each register line that is not sent as written.
    static void warnAboutLines(const std::string& path, std::ostream& err);
};
