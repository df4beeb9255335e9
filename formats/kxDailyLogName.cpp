#include "kxDailyLogName.h"

#include <cstdio>
#include <ctime>

std::string DailyLogName::of(int year, int month, int day) {
    char name[64];
    std::snprintf(name, sizeof name, "kxCxLog%04d%02d%02d.txt", year, month, day);
    return name;
}

std::string DailyLogName::today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return of(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}
