// The FPGA page's flash erase: the whole configuration flash erased through the handle, which
// then counts as erased for the flash load.
//
// The design must drive the flash (FlashVersionGate). The live stream and the pixel clock are
// stopped for the erase; whatever its result, the FPGA is restarted (FpgaRestart) and the stream
// with it. The eraser does not stop on Cancel: an erase that went through is reported as done
// even when Cancel was pressed, and Cancel is reported only where it did not.
//
// Used on the GUI thread only.
#pragma once

#include <chrono>

#include <kxCamContextHead.h>

class QWidget;

namespace hv {

class FlashErase {
public:
    static constexpr int kProgressEnd = 120;

    FlashErase() = delete;

    // Runs the erase on handle (nothing without one); eraseFpgaFromFlash's result, or 1 when it
    // was not run. settle is each wait around the stream stop and after the restart.
    static int run(QWidget* parent, CamContext* handle, std::chrono::milliseconds settle);
};

}  // namespace hv
