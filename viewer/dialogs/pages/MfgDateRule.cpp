#include "MfgDateRule.h"

#include <array>

namespace hv {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digit(QChar c) {
    return c.unicode() - '0';
}

bool isSeparator(QChar c) {
    return c == QLatin1Char('-') || c == QLatin1Char('/');
}

// Positions in "mm-dd-yy".
constexpr int kMonthTens = 0;
constexpr int kMonthUnits = 1;
constexpr int kFirstSeparator = 2;
constexpr int kDayTens = 3;
constexpr int kDayUnits = 4;
constexpr int kSecondSeparator = 5;

}  // namespace

int MfgDateRule::daysIn(int month) {
    static constexpr std::array<int, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 ? kDays[month - 1] : 0;
}

bool MfgDateRule::fits(const QString& text) {
    if (text.size() > kLength) {
        return false;
    }
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        bool good = false;
        switch (i) {
            case kMonthTens:
                good = c == QLatin1Char('0') || c == QLatin1Char('1');
                break;
            case kMonthUnits: {
                const int month = digit(text.at(kMonthTens)) * 10 + digit(c);
                good = isDigit(c) && month >= 1 && month <= 12;
                break;
            }
            case kFirstSeparator:
                good = isSeparator(c);
                break;
            case kDayTens:
                good = c >= QLatin1Char('0') && c <= QLatin1Char('3');
                break;
            case kDayUnits: {
                const int month = digit(text.at(kMonthTens)) * 10 + digit(text.at(kMonthUnits));
                const int day = digit(text.at(kDayTens)) * 10 + digit(c);
                good = isDigit(c) && day >= 1 && day <= daysIn(month);
                break;
            }
            case kSecondSeparator:
                good = c == text.at(kFirstSeparator);
                break;
            default:  // the year's two digits
                good = isDigit(c);
                break;
        }
        if (!good) {
            return false;
        }
    }
    return true;
}

}  // namespace hv
