// "kxcxctl reg read SLAVE REG" and "kxcxctl reg write SLAVE REG VALUE": one register of any I2C
// part of the board; --wide for 16-bit register addresses (the sensor).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class RegCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "reg": its help lines and run.
    static CommandEntry entry();
};
