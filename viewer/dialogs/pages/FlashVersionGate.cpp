#include "FlashVersionGate.h"

#include "PromptService.h"

namespace hv {

bool FlashVersionGate::supports(int major, int minor) {
    return major > kLowestMajor || (major == kLowestMajor && minor >= kLowestMinor);
}

bool FlashVersionGate::admit(QWidget* parent, int major, int minor) {
    if (supports(major, minor)) {
        return true;
    }
    PromptService::warning(parent, QStringLiteral("FPGA Utility Tools"), refusal(major, minor));
    return false;
}

QString FlashVersionGate::refusal(int major, int minor) {
    return QStringLiteral(
               "The FPGA firmware V%1.%2 cannot load or erase the SPI flash...\n"
               "Flash commands need FPGA firmware V%3.%4 or later.")
        .arg(major, 0, 16)
        .arg(minor, 0, 16)
        .arg(kLowestMajor, 0, 16)
        .arg(kLowestMinor, 0, 16);
}

}  // namespace hv
