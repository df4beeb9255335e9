#include "kxLogSession.h"

#include <pwd.h>
#include <unistd.h>

#include <boost/date_time/gregorian/gregorian.hpp>
#include <cstdio>
#include <vector>

#include "kxCxLogger.h"

namespace {

constexpr std::size_t kNameBuffer = 8192;

}  // namespace

std::string LogSession::dailyFileName(int year, int month, int day) {
    char name[64];
    std::snprintf(name, sizeof name, "kxCxLog%04d%02d%02d.txt", year, month, day);
    return name;
}

std::string LogSession::todaysFileName() {
    const boost::gregorian::date today = boost::gregorian::day_clock::local_day();
    return dailyFileName(today.year(), today.month(), today.day());
}

std::string LogSession::userName() {
    std::vector<char> buffer(kNameBuffer);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr) {
        return result->pw_name;
    }
    return std::to_string(geteuid());
}

std::string LogSession::hostName() {
    std::vector<char> buffer(kNameBuffer, '\0');
    if (gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return {};
    }
    return buffer.data();
}

void LogSession::start(CxLogger& logger, bool debugLogging) {
    logger.open(todaysFileName(), "CxLib");
    logger.setEcho(true);
    logger.log(8, "-------->>\n");
    logger.log(8, "Core session started on %D by %s on %s\n", userName().c_str(),
               hostName().c_str());
    logger.setLevelMask(debugLogging ? 4 : 8);
    logger.log(8, "Debug logging %s\n", debugLogging ? "enabled" : "disabled");
}
