#include "DecimalEntry.h"

namespace hv {

namespace {

// More digits than any field takes, few enough to leave no doubt about the value.
constexpr qsizetype kMaxDigits = 18;

}  // namespace

std::optional<int> DecimalEntry::parse(const QString& text, int low, int high) {
    if (text.isEmpty() || text.size() > kMaxDigits) {
        return std::nullopt;
    }
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    const qlonglong value = text.toLongLong();
    if (value < low || value > high) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace hv
