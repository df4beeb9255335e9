// Reads an LED's setting back from its controller: the mode, duty cycle and (PCA9530) blink
// frequency that its registers mean, by the encodings Pca9633Rule and Pca9530Rule write.
//
// PCA9633, channel c (LEDOUT code of c, MODE1, PWMc):
//   code 01                  mode 1 "OFF";
//   code 10 or 11            PWM ("PWM 1" for 10, "PWM 2" for 11) at duty (1 - PWMc / 255);
//   code 00, oscillator asleep   mode 0 "ON" (every channel at once);
//   code 00, awake           "PWM 1" at duty 0 (a PWM channel switched off at 0%).
// PCA9530, LED n: the LS0 code is the mode; for a blink rate k (codes 10 and 11) the frequency
// is 152 Hz / (PSCk + 1) and the duty (1 - PWMk / 256). Duties are rounded to whole percent.
#pragma once

#include <optional>

#include "LedBus.h"

namespace hv {

class LedReadBack {
public:
    struct Setting {
        int mode = 0;
        int duty = 0;
        // For the PCA9530's blink rates; otherwise unset.
        std::optional<double> frequency;
    };

    explicit LedReadBack(LedBus& bus) : m_bus(bus) {}

    // controller 0 PCA9633 (led 0-3), 1 PCA9530 (led 0-1). nullopt for another controller or
    // LED, or when a register could not be read.
    std::optional<Setting> read(int controller, int led);

private:
    std::optional<Setting> readPca9633(int channel);
    std::optional<Setting> readPca9530(int led);

    LedBus& m_bus;
};

}  // namespace hv
