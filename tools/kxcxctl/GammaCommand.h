// "kxcxctl gamma upload NUMBER [FILE] [--type T]": builds a gamma table from a text file and
// writes it to the FPGA's table slot (0-15), warning about the lines it cannot read; "kxcxctl gamma
// download NUMBER [--out FILE]": reads a slot back and saves it as a type-3 text file (one line per
// entry, levels C, B, A), which uploads again unchanged.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class GammaCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "gamma": its help lines and run.
    static CommandEntry entry();

    // The type-3 text of a 4096-byte table.
    static std::string tableText(const std::vector<uint8_t>& table);

private:
    // Warns about each line of a table file of the type that gives levels of 0 for want of
    // numbers, and about lines past the table's end.
    static void warnAboutLines(const std::string& path, int type, std::ostream& err);
};
