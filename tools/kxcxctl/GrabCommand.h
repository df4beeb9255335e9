// "kxcxctl grab N DIR": streams from the board and writes N frames as PNG files
// (DIR/frame_000.png, ...).
#pragma once

#include <ostream>
#include <string>
#include <vector>

class GrabCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
