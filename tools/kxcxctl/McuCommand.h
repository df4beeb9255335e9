// "kxcxctl mcu load [FILE]": loads an Intel HEX program into the USB controller's RAM and starts
// it; "kxcxctl eeprom write [FILE]": copies a boot image into the boot EEPROM and reads it back.
// Both with a progress bar.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class McuCommand {
public:
    static int runMcu(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "mcu": its help lines and runMcu.
    static CommandEntry mcuEntry();
    static int runEeprom(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);
    // The command table's row "eeprom": its help lines and runEeprom.
    static CommandEntry eepromEntry();
};
