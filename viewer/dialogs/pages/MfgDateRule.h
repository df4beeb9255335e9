// The manufacturing date of a board's record: eight characters "mm-dd-yy" or "mm/dd/yy" (the same
// separator twice), a month 01-12 and a day from 1 to the month's length (February 29).
#pragma once

#include <QString>

namespace hv {

class MfgDateRule {
public:
    static constexpr int kLength = 8;

    // Whether text can begin a date: at most kLength characters, each the one its position asks
    // for (month and day checked as soon as their second digit is there). A whole date is one of
    // kLength characters that fits.
    static bool fits(const QString& text);
    // The days of month 1-12; 0 for another number.
    static int daysIn(int month);
};

}  // namespace hv
