// "kxcxctl flash erase | program [FILE] [--verify] | verify [FILE]": the FPGA's SPI configuration
// flash. The image is read whole and checked before the board is opened, and a program checks
// that it fits the flash before erasing (the library programs only an erased flash, so a
// program erases first within the same run); verify reads the flash back through raw register
// access and compares it with the ".mcs" image (a simulated board lives only as long as the
// program, so "program --verify" checks it in one run).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

#include <kxCxApi.h>
#include "kxFlashIdentification.h"
#include "kxIntelHexImage.h"

class FlashCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "flash": its help lines and run.
    static CommandEntry entry();

private:
    static int erase(CamContext* handle, bool quiet, std::ostream& out, std::ostream& err);
    static int program(CamContext* handle, const std::string& file, const IntelHexImage& image,
                       bool quiet, bool verify, std::ostream& out, std::ostream& err);
    static int verify(CamContext* handle, const std::string& file, const IntelHexImage& image,
                      std::ostream& out, std::ostream& err);
    // The flash's identification, from a maker the library programs; false after an error
    // message.
    static bool identify(CamContext* handle, FlashIdentification& identification,
                         std::ostream& err);
};
