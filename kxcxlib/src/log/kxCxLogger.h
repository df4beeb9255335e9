// The library log: a daily text file written by a background thread.
#pragma once

#include <atomic>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "log/kxDeviceLogger.h"

class LoggerThread;

class CxLogger : public DeviceLogger {
public:
    // Flag bits.
    static constexpr int kFlagEcho = 1 << 0;      // echo every written batch to standard error
    static constexpr int kFlagFileOpen = 1 << 2;  // the log file is open
    // Enable-mask bits.
    static constexpr int kMaskLow = 4;   // lines of level 1 to 4
    static constexpr int kMaskHigh = 8;  // lines of level 5 and above

    CxLogger();
    ~CxLogger() override;

    // The process's logger, created on first use. Throws RuntimeException when it cannot be
    // created.
    static CxLogger& instance();
    // The process's logger if it exists, else null.
    static CxLogger* existing();
    // Destroys the process's logger: pending lines are written, the file is closed.
    static void destroyInstance();

    bool isOpen() const override;
    // Opens the stored file name (the given one when none is stored yet) for appending, else a
    // file of the same name under $HOME, and starts the writer thread. True when a file is open.
    bool open(std::string fileName, std::string loggerName) override;
    void close() override;
    bool truncate() override;
    // 2, 4, 32 and 128 are taken as they are, 512 gives 0x700, anything else 0x18.
    int setLevelMask(int level) override;
    bool setEcho(bool echo) override;
    void logTime(int level) override;
    int setPrefixLevel(int level) override;
    void log(int level, const char* fmt, ...) override;
    void writeToStderr(const std::string& text) override;
    // Reads the whole file into a new array (freed by the caller with delete[]); null when the
    // file cannot be read.
    void readLog(char** data, int* size) override;
    std::string fileName() const override;

    // Writes the pending lines now: to standard error when echo is on, and to the file. The
    // writer thread calls this every 30 ms.
    void flushPending();

    int enableMask() const { return m_enableMask.load(); }
    int flags() const { return m_flags.load(); }
    std::string loggerName() const;

private:
    bool openStreamLocked(const std::string& path);
    void startWriter();
    void stopWriter();

    std::atomic<int> m_enableMask{0x7FFFFFFF};
    std::atomic<int> m_prefixLevel{0x7FFFFFFF};
    std::atomic<int> m_flags{0x7FFFFFFF};
    std::string m_fileName;
    std::string m_loggerName;

    std::mutex m_pendingMutex;
    std::string m_pending;

    mutable std::mutex m_streamMutex;
    std::unique_ptr<std::ofstream> m_stream;

    std::mutex m_writerMutex;
    std::unique_ptr<LoggerThread> m_writer;
};
