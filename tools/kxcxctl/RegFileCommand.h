// "kxcxctl regfile PATH": sends a register file to the board's sensor with a progress bar.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class RegFileCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
