// The start of the library log's session, done when the library is loaded.
#pragma once

#include <string>

class CxLogger;

class LogSession {
public:
    // "kxCxLog" + yyyymmdd + ".txt" for the given local date.
    static std::string dailyFileName(int year, int month, int day);
    // The same for today.
    static std::string todaysFileName();

    // Opens today's file, writes the separator and "Core session started on ..." with the user and
    // host names, sets the level mask (8, or 4 for debug logging) and says whether debug logging
    // is on. Throws DeviceLogger::RuntimeException when the logger cannot start.
    static void start(CxLogger& logger, bool debugLogging);

    static std::string userName();
    static std::string hostName();
};
