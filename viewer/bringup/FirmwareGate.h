// Compares the board's FPGA and USB controller firmware with the lowest versions the viewer
// needs (FPGA 1.30, controller 1.07) and offers to load the shipped firmware
// ("firmware/default.bit", "firmware/default.hex") with the shared progress dialog.
#pragma once

#include <QString>
#include <functional>

#include <kxCamContextHead.h>

class QWidget;

namespace hv {

class FirmwareGate {
public:
    static constexpr int kLowestFpga = 0x130;
    static constexpr int kLowestMcu = 0x107;

    // 0 to go on (also when the user declined a load), -1 when the FPGA load failed, -6 when the
    // controller load failed. restart becomes true when the controller took new firmware: it
    // leaves the bus, and the program has to end.
    static int check(QWidget* parent, CamContext* handle, bool& restart);

private:
    // Asks question (printf text of 1, requiredMinor, the version's major and minor); on No shows
    // refusal with the same values. Whether the user chose to load.
    static bool userLoads(QWidget* parent, const char* question, const char* refusal,
                          int requiredMinor, int version);
    // Runs load with the shared progress dialog open over 0..220; load's result.
    static int withProgress(QWidget* parent, const QString& label,
                            const std::function<int()>& load);
    static int offerFpga(QWidget* parent, CamContext* handle, int fpga);
    static int offerMcu(QWidget* parent, CamContext* handle, int mcu, bool& restart);
};

}  // namespace hv
