// "kxcxctl gamma upload NUMBER [FILE] [--type T]": builds a gamma table from a text file and
// writes it to the FPGA's table slot; "kxcxctl gamma download NUMBER [--out FILE]": reads a slot
// back and saves it as a type-3 text file (one line per entry, levels C, B, A), which uploads
// again unchanged.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class GammaCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

    // The type-3 text of a 4096-byte table.
    static std::string tableText(const std::vector<uint8_t>& table);
};
