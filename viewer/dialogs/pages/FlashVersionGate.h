// Whether the FPGA's design can drive its configuration flash. Loading and erasing the flash
// need design 1.24 or later; the whole version counts, so 2.00 can and 1.23 cannot (an FPGA that
// is not configured reads 0.0). A refused command tells the operator why.
//
// Used on the GUI thread only.
#pragma once

#include <QString>

class QWidget;

namespace hv {

class FlashVersionGate {
public:
    static constexpr int kLowestMajor = 0x01;
    static constexpr int kLowestMinor = 0x24;

    FlashVersionGate() = delete;

    static bool supports(int major, int minor);
    // True when the version supports the flash commands; otherwise shows the refusal (title
    // "FPGA Utility Tools") and returns false.
    static bool admit(QWidget* parent, int major, int minor);
    // Why a design of this version cannot take the flash commands.
    static QString refusal(int major, int minor);
};

}  // namespace hv
