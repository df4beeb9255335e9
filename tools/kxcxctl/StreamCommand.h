// "kxcxctl stream SECONDS": streams from the board and reports, each second and at the end,
// frames per second, the board's frame counters and the frames the host did not get. A board
// that leaves the bus ends the command (exit code 1).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class StreamCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "stream": its help lines and run.
    static CommandEntry entry();
};
