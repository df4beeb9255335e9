// What an operator typed into a numeric field of a setup page: a decimal number written with the
// digits '0' to '9' alone (no sign, no blanks), within the field's limits.
#pragma once

#include <QString>
#include <optional>

namespace hv {

class DecimalEntry {
public:
    // The number text stands for when it lies within [low, high]; none otherwise.
    static std::optional<int> parse(const QString& text, int low, int high);
};

}  // namespace hv
