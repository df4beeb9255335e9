// What a board needs after its FPGA was configured anew or its flash erased: the FPGA's start-up
// handshake, then the program's register file (which also starts the sensor's pixel clock again).
#pragma once

#include <kxCamContextHead.h>

namespace hv {

class FpgaRestart {
public:
    // The register file, relative to the program's root, as bring-up sends it.
    static constexpr const char* kRegisterFile = "reg_init.txt";

    FpgaRestart() = delete;

    // initFPGA's result; the register file is sent whatever it was.
    static int run(CamContext* handle);
};

}  // namespace hv
