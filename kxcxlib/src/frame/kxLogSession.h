// The start of the library log's session, done when the library is loaded.
#pragma once

#include <string>

class CxLogger;

// Where the session writes and whether it echoes, as the environment asks when it starts.
struct LogSettings {
    // The folder of the daily log and the module log file; unset or empty: the current folder.
    static constexpr const char* kFolderVariable = "KXCX_LOG_DIR";
    // "0", "off", "no" or "false" keeps the log and the module records off standard error.
    static constexpr const char* kEchoVariable = "KXCX_LOG_ECHO";

    std::string folder;
    bool echo = true;

    static LogSettings fromEnvironment();
};

class LogSession {
public:
    // Reads the settings, creates their folder when it is missing and opens today's file there
    // (under $HOME when the folder cannot be written); the module log file goes beside it. Echoes
    // the log and the module records to standard error unless the settings say not to. Writes
    // the separator and "Core session started on ..." with the user and host names, sets the
    // level mask (8, or 4 for debug logging) and says whether debug logging is on. Throws
    // DeviceLogger::RuntimeException when the logger cannot start.
    static void start(CxLogger& logger, bool debugLogging);

    static std::string userName();
    static std::string hostName();
};
