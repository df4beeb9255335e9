// "kxcxctl versions": the board's USB controller firmware (request 0xB0) and FPGA (registers 1
// and 0 of slave 0x3C) versions.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class VersionsCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "versions": its help lines and run.
    static CommandEntry entry();
};
