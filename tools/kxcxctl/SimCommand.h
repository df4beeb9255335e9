// "kxcxctl sim ...": drives the simulated boards of a running program (the viewer, a test)
// through their control channel: unplug and plug, hold handle buttons, inject faults.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class SimCommand {
public:
    // args: the words after "sim". The reply's lines go to out; a failure is one line on err.
    // Returns 0, 1 when the request failed or no program answered, 2 for a usage error.
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "sim": its help lines and run.
    static CommandEntry entry();

private:
    static void usage(std::ostream& out);
};
