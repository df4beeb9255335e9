// A module object that writes error, warning, information and debug records with their source
// position to standard error and to the module log file.
#pragma once

#include <cstdint>
#include <string>

#include "object/kxCxModBase.h"

class ModLog : public ModBase {
public:
    enum Level { kError = 1, kWarning = 2, kInfo = 3, kDebug = 4 };

    // Records up to this level go to standard error, or to the module log file.
    static constexpr int kDefaultConsoleThreshold = kWarning;
    static constexpr int kDefaultFileThreshold = kDebug;
    static constexpr const char* kDefaultFile = "kxCxModLog.txt";

    ModLog();
    ~ModLog() override;

    // One record:
    //   [e] 00-00:00:12.345,678 (P=1A2B,T=1A2C)<tag>
    //     source:line:function message, each further message line indented by two spaces
    void _outModLog_(int level, const char* source, int line, const char* function, const char* fmt,
                     ...) __attribute__((format(printf, 6, 7)));

    // Drop a reference of the log object; returns 0.
    int decModLogRef();

    void setThresholds(int console, int file);
    int consoleThreshold() const { return m_consoleThreshold; }
    int fileThreshold() const { return m_fileThreshold; }
    // The wide-character tag printed after the ids of each record.
    void setModTag(std::wstring tag) { m_tag = std::move(tag); }

    // The module log file of the process (kDefaultFile in the current folder unless set).
    static void setModLogFile(const std::string& path);
    static std::string modLogFile();
    // Whether records reach standard error at all (on unless switched off); the console
    // threshold applies to those that may.
    static void setConsoleEcho(bool echo);
    static bool consoleEcho();

private:
    static constexpr std::size_t kMessageBytes = 1024;

    std::string formatMessage(const char* fmt, va_list args) const;
    std::string formatRecord(int level, const char* source, int line, const char* function,
                             const std::string& message) const;
    void writeToFile(const std::string& record) const;

    int m_fileThreshold = kDefaultFileThreshold;
    int m_consoleThreshold = kDefaultConsoleThreshold;
    int64_t m_frequency;
    std::wstring m_tag;
};

// A record from the current source position.
#define KX_MODLOG(log, level, function, ...) \
    (log)._outModLog_(level, ModFault::baseName(__FILE__), __LINE__, function, __VA_ARGS__)
