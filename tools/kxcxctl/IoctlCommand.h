// "kxcxctl ioctl in REQUEST VALUE INDEX LENGTH" and
// "kxcxctl ioctl out REQUEST VALUE INDEX [BYTE...]": one vendor control transfer as given.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class IoctlCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "ioctl": its help lines and run.
    static CommandEntry entry();
};
