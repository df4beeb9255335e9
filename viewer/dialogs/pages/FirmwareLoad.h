// The FPGA page's four firmware loads: a bitstream into the FPGA over JTAG, an ".mcs" image into
// the FPGA's configuration flash, a program into the USB controller's RAM and a boot image into
// its EEPROM.
//
// Each asks for the file and for a confirmation that names the version on the board, stops the
// live stream and the pixel clock, loads with the shared progress dialog, and reports. The flash
// load first needs a flash erased through this handle and a design that can drive the flash
// (FlashVersionGate). The FPGA loads and the EEPROM load then restart the FPGA (FpgaRestart) and
// the stream; after a controller program the board leaves the bus, so the stream stays stopped.
// The controller loads set the firmware-load lock just before they start.
//
// Used on the GUI thread only.
#pragma once

#include <QString>
#include <chrono>

#include <kxCamContextHead.h>

class QWidget;

namespace hv {

class FirmwareLoad {
public:
    enum class Kind { Fpga, FpgaFlash, Mcu, McuEeprom };

    struct Outcome {
        // The load was started (a file was chosen and confirmed).
        bool attempted = false;
        // The loader's result.
        int result = 0;
    };

    FirmwareLoad() = delete;

    // Runs the load of kind on handle (nothing without one); settle is each wait of the stream
    // stop.
    static Outcome run(QWidget* parent, CamContext* handle, Kind kind,
                       std::chrono::milliseconds settle);
};

}  // namespace hv
