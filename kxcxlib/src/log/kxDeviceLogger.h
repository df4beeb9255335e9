// Abstract base of the library's loggers.
#pragma once

#include <stdexcept>
#include <string>

class DeviceLogger {
public:
    // What a logger throws when it cannot be created, opened, closed or reopened.
    class RuntimeException : public std::runtime_error {
    public:
        explicit RuntimeException(const std::string& what) : std::runtime_error(what) {}
    };

    virtual ~DeviceLogger() = default;

    virtual bool isOpen() const = 0;
    virtual bool open(std::string fileName, std::string loggerName) = 0;
    virtual void close() = 0;
    virtual bool truncate() = 0;
    virtual int setLevelMask(int level) = 0;
    virtual bool setEcho(bool echo) = 0;
    virtual void logTime(int level) = 0;
    virtual int setPrefixLevel(int level) = 0;
    virtual void log(int level, const char* fmt, ...) = 0;
    virtual void writeToStderr(const std::string& text) = 0;
    virtual void readLog(char** data, int* size) = 0;
    virtual std::string fileName() const = 0;
};
