#include "log/kxCxModLog.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <new>

#include "log/kxModFault.h"
#include "log/kxPerfCounter.h"

namespace {

const char* const kLevelNames[] = {"", "e", "w", "i", "d"};

std::mutex& recordLock() {
    static std::mutex lock;
    return lock;
}

std::mutex& fileLock() {
    static std::mutex lock;
    return lock;
}

std::string& modLogPath() {
    static std::string path = ModLog::kDefaultFile;
    return path;
}

std::atomic<bool> g_consoleEcho{true};

}  // namespace

ModLog::ModLog() : m_frequency(PerfCounter::frequency()) {}

ModLog::~ModLog() = default;

int ModLog::decModLogRef() {
    return _decModObjRef_();
}

void ModLog::setThresholds(int console, int file) {
    m_consoleThreshold = console;
    m_fileThreshold = file;
}

void ModLog::setModLogFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(fileLock());
    modLogPath() = path;
}

std::string ModLog::modLogFile() {
    std::lock_guard<std::mutex> lock(fileLock());
    return modLogPath();
}

void ModLog::setConsoleEcho(bool echo) {
    g_consoleEcho.store(echo);
}

bool ModLog::consoleEcho() {
    return g_consoleEcho.load();
}

std::string ModLog::formatMessage(const char* fmt, va_list args) const {
    char small[kMessageBytes];
    va_list ap;
    va_copy(ap, args);
    const int needed = std::vsnprintf(small, sizeof small, fmt, ap);
    va_end(ap);
    if (needed < 0) {
        return {};
    }
    if (static_cast<std::size_t>(needed) < sizeof small) {
        return std::string(small, static_cast<std::size_t>(needed));
    }
    std::unique_ptr<char[]> large(new (std::nothrow) char[static_cast<std::size_t>(needed) + 1]);
    if (!large) {
        ModFault::error(ModFault::baseName(__FILE__), __LINE__, "ModLog::_outModLog_");
        return std::string(small, sizeof small - 1);
    }
    va_copy(ap, args);
    std::vsnprintf(large.get(), static_cast<std::size_t>(needed) + 1, fmt, ap);
    va_end(ap);
    return std::string(large.get(), static_cast<std::size_t>(needed));
}

std::string ModLog::formatRecord(int level, const char* source, int line, const char* function,
                                 const std::string& message) const {
    const std::string stamp = PerfCounter::elapsedStamp(PerfCounter::counter(), m_frequency);
    char head[160];
    std::snprintf(head, sizeof head, "[%s] %s (P=%lX,T=%lX)", kLevelNames[level], stamp.c_str(),
                  ModFault::processId(), ModFault::threadId());
    std::string record = head;
    for (wchar_t c : m_tag) {
        // The tag is written as the C locale writes a wide string: plain characters only.
        record.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    }
    record += "\n  ";
    record += source;
    record += ':';
    record += std::to_string(line);
    record += ':';
    record += function;
    record += " ";
    for (char c : message) {
        record.push_back(c);
        if (c == '\n') {
            record += "  ";
        }
    }
    record += "\n";
    return record;
}

void ModLog::writeToFile(const std::string& record) const {
    const auto reportFileFault = [](int line) {
        const int error = errno;
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, " errno=%d welc=%08lx", error,
                      static_cast<unsigned long>(error));
        ModFault::error(ModFault::baseName(__FILE__), line, "ModLog::_outModLog_", suffix);
    };
    std::lock_guard<std::mutex> lock(fileLock());
    std::FILE* file = std::fopen(modLogPath().c_str(), "a");
    if (file == nullptr) {
        reportFileFault(__LINE__);
        return;
    }
    std::fwrite(record.data(), 1, record.size(), file);
    if (std::fclose(file) != 0) {
        reportFileFault(__LINE__);
    }
}

void ModLog::_outModLog_(int level, const char* source, int line, const char* function,
                         const char* fmt, ...) {
    if (level < kError || level > kDebug || source == nullptr || function == nullptr ||
        fmt == nullptr) {
        ModFault::error(ModFault::baseName(__FILE__), __LINE__, "ModLog::_outModLog_");
        return;
    }
    std::lock_guard<std::mutex> lock(recordLock());
    const bool toConsole = level <= m_consoleThreshold && consoleEcho();
    const bool toFile = level <= m_fileThreshold;
    if (!toConsole && !toFile) {
        return;
    }
    va_list args;
    va_start(args, fmt);
    const std::string message = formatMessage(fmt, args);
    va_end(args);
    const std::string record = formatRecord(level, source, line, function, message);
    if (toConsole) {
        std::fwrite(record.data(), 1, record.size(), stderr);
        std::fflush(stderr);
    }
    if (toFile) {
        writeToFile(record);
    }
}
