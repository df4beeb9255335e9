// The motion compensation's dampening coefficient: the factor the operator types, 0 to 0.99,
// and the value of FPGA register 0x21, 2 to 128, that stands for it.
//
// A factor c becomes 128 - trunc((0.99 - c) x 128). The text is read as the decimal number it
// spells, with no rounding to binary fractions, so that a factor on a step of the register
// (0.74 gives 0.25 x 128 = 32 exactly) lands on that step and the text "0.99" itself is taken.
// Back from the register, d stands for d x 0.0078125 + 0.01.
#pragma once

#include <QString>
#include <optional>

namespace hv {

class DampeningCoefficient {
public:
    static constexpr int kLowest = 2;
    static constexpr int kHighest = 128;

    DampeningCoefficient() = delete;

    // The register value for the factor in text: a decimal number ("0.5", ".5", "0", "0.990",
    // surrounding blanks allowed) from 0 to 0.99. None for anything else: no number, a sign
    // other than on a zero, an exponent, a factor below 0 or above 0.99.
    static std::optional<int> registerValue(const QString& text);

    // The factor register value d stands for: d x 0.0078125 + 0.01.
    static double factor(int value);
    // "Dampening Coefficient is %.2f [%d]" with the factor and d.
    static QString describe(int value);
};

}  // namespace hv
