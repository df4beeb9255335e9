// "kxcxctl mcu load [FILE]": loads an Intel HEX program into the USB controller's RAM and starts
// it; "kxcxctl eeprom write [FILE]": copies a boot image into the boot EEPROM and reads it back.
// Both with a progress bar.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class McuCommand {
public:
    static int runMcu(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    static int runEeprom(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);
};
