// The name of the camera library's daily log, "kxCxLogYYYYMMDD.txt": the library writes it, and
// kxcxctl reads back what the library wrote during its run.
#pragma once

#include <string>

class DailyLogName {
public:
    // The name for a date, each field zero-filled: 2013-04-12 gives "kxCxLog20130412.txt".
    static std::string of(int year, int month, int day);
    // The name for today's local date.
    static std::string today();
};
