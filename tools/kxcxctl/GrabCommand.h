// "kxcxctl grab N DIR": streams from the board and writes N frames as PNG files
// (DIR/frame_000.png, ...). A board that leaves the bus ends the command: the frames that arrived
// are written and the exit code is 1.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class GrabCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "grab": its help lines and run.
    static CommandEntry entry();
};
