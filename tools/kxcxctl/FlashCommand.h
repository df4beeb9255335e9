// "kxcxctl flash erase | program [FILE] [--verify] | verify [FILE]": the FPGA's SPI configuration
// flash. A program erases first within the same run (the library programs only an erased flash);
// verify reads the flash back through raw register access and compares it with the ".mcs" image
// (a simulated board lives only as long as the program, so "program --verify" checks it in one
// run).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "kxCxApi.h"

class FlashCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
    static int erase(CamContext* handle, bool quiet, std::ostream& out, std::ostream& err);
    static int program(CamContext* handle, const std::string& file, bool quiet, std::ostream& out,
                       std::ostream& err);
    static int verify(CamContext* handle, const std::string& file, std::ostream& out,
                      std::ostream& err);
};
