// Reads the description of the simulated boards (the KXCX_SIM text).
//
//   boards  := "" | "none" | group { ";" group }
//   group   := model [ "*" count ] { "," key "=" value }
//   model   := "RT4207-x6B6B" | "RT4207" | "MV3318-x7654" | "MV3318" | ...  (any letter case)
//   keys    := fpga=1.30 (the design in the configuration flash; 0.0: a blank flash)
//              mcu=1.07  led=pca9633|pca9530  flash=sst|page|unknown
//              flashsize=1024 (KiB, a power of two 64-16384)  erase=40 (chip erase, ms)
//              program=0 (a page program or auto-address-increment word, microseconds)
//              idcode=0x0a51c0dd (the FPGA's JTAG IDCODE)
//              fps=30 (0: unthrottled)  seed=N  pipes=all|bulk
//   faults  := nack=62+3c  (I2C addresses, hexadecimal, whose parts do not answer)
//              stall=on|off  (bulk IN halted from power-on until the host clears it)
//              timeouts=N|on|off  (the first N control transfers time out; on: all of them)
//              fpgabusy=on|off  (FPGA register 0x60 reads busy)
//              fpganotready=on|off  (FPGA register 0x41 never reads ready)
//              jtagstall=on|off  (JTAG data transfers move nothing)
//
// An empty text gives the default: one board of the first model that passes every start-up
// check. "none" gives no board.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "BoardConfig.h"

namespace boardsim {

class SimConfigParser {
public:
    // Fills boards; false with a one-line error text when the text is not understood.
    static bool parse(std::string_view text, std::vector<BoardConfig>& boards, std::string& error);

private:
    static bool parseGroup(std::string_view group, std::vector<BoardConfig>& boards,
                           std::string& error);
    static bool applyKey(std::string_view key, std::string_view value, BoardConfig& config,
                         std::string& error);
};

}  // namespace boardsim
