#include "DampeningCoefficient.h"

#include <cstdint>

namespace hv {

namespace {

// The fraction is kept to this many decimal digits; further digits only say whether anything
// follows (see registerValue).
constexpr int kDigits = 18;
constexpr std::uint64_t kOne = 1'000'000'000'000'000'000ULL;  // 10^kDigits
// 0.99 and one register step (1/128) in units of 10^-kDigits; 10^18 / 128 is whole.
constexpr std::uint64_t kHighestFactor = 99 * (kOne / 100);
constexpr std::uint64_t kStep = kOne / 128;

constexpr double kRegisterStep = 0.0078125;
constexpr double kRegisterOffset = 0.01;

// A decimal number below 1 read exactly: fraction = digits x 10^-kDigits, plus something more
// when further non-zero digits followed.
struct Fraction {
    std::uint64_t digits = 0;
    bool more = false;
    bool negative = false;
};

// Reads "[sign][0...][.digits]"; false for anything else or a whole part of 1 or more (which is
// above 0.99 anyway and reported as out of range by the caller through aboveRange).
bool read(const QString& text, Fraction& fraction, bool& aboveRange) {
    aboveRange = false;
    const QString trimmed = text.trimmed();
    int at = 0;
    if (at < trimmed.size() && (trimmed[at] == u'-' || trimmed[at] == u'+')) {
        fraction.negative = trimmed[at] == u'-';
        ++at;
    }
    bool anyDigit = false;
    for (; at < trimmed.size() && trimmed[at].isDigit(); ++at) {
        anyDigit = true;
        if (trimmed[at] != u'0') {
            aboveRange = true;
        }
    }
    if (at < trimmed.size() && trimmed[at] == u'.') {
        ++at;
        int kept = 0;
        for (; at < trimmed.size() && trimmed[at].isDigit(); ++at) {
            anyDigit = true;
            const auto digit = static_cast<std::uint64_t>(trimmed[at].digitValue());
            if (kept < kDigits) {
                fraction.digits = fraction.digits * 10 + digit;
                ++kept;
            } else if (digit != 0) {
                fraction.more = true;
            }
        }
        for (; kept < kDigits; ++kept) {
            fraction.digits *= 10;
        }
    }
    return anyDigit && at == trimmed.size();
}

}  // namespace

std::optional<int> DampeningCoefficient::registerValue(const QString& text) {
    Fraction fraction;
    bool aboveRange = false;
    if (!read(text, fraction, aboveRange) || aboveRange) {
        return std::nullopt;
    }
    const bool zero = fraction.digits == 0 && !fraction.more;
    if (fraction.negative && !zero) {
        return std::nullopt;
    }
    if (fraction.digits > kHighestFactor || (fraction.digits == kHighestFactor && fraction.more)) {
        return std::nullopt;
    }
    // (0.99 - c) x 128 truncated; digits beyond those kept make the difference a little smaller,
    // which lowers the result by one exactly when the kept digits give a whole number.
    std::uint64_t below = kHighestFactor - fraction.digits;
    if (fraction.more) {
        below -= 1;
    }
    return kHighest - static_cast<int>(below / kStep);
}

double DampeningCoefficient::factor(int value) {
    return value * kRegisterStep + kRegisterOffset;
}

QString DampeningCoefficient::describe(int value) {
    return QString::asprintf("Dampening Coefficient is %.2f [%d]", factor(value), value);
}

}  // namespace hv
