// "kxcxctl fpga load [FILE]": configures the FPGA over JTAG from a bitstream, with a progress bar;
// "kxcxctl fpga init": the FPGA's start-up handshake.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class FpgaCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "fpga": its help lines and run.
    static CommandEntry entry();
};
