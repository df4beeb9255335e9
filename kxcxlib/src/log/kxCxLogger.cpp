#include "log/kxCxLogger.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <new>

#include "log/kxLogFormat.h"
#include "log/kxLoggerThread.h"

namespace {

std::mutex g_instanceMutex;
std::atomic<CxLogger*> g_instance{nullptr};

const char* const kInitFailed = "Logging initialization failed\n";

}  // namespace

CxLogger::CxLogger() = default;

CxLogger::~CxLogger() {
    // The writer goes first so that what is pending still reaches the file.
    stopWriter();
    close();
}

CxLogger& CxLogger::instance() {
    CxLogger* logger = g_instance.load();
    if (logger != nullptr) {
        return *logger;
    }
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    logger = g_instance.load();
    if (logger == nullptr) {
        logger = new (std::nothrow) CxLogger();
        if (logger == nullptr) {
            throw RuntimeException(kInitFailed);
        }
        g_instance.store(logger);
    }
    return *logger;
}

CxLogger* CxLogger::existing() {
    return g_instance.load();
}

void CxLogger::destroyInstance() {
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    delete g_instance.exchange(nullptr);
}

bool CxLogger::isOpen() const {
    std::lock_guard<std::mutex> lock(m_streamMutex);
    return m_stream && m_stream->is_open();
}

bool CxLogger::openStreamLocked(const std::string& path) {
    m_stream->close();
    m_stream->clear();
    m_stream->open(path, std::ios::out | std::ios::app);
    return m_stream->is_open();
}

bool CxLogger::open(std::string fileName, std::string loggerName) {
    bool opened = false;
    {
        std::lock_guard<std::mutex> lock(m_streamMutex);
        m_loggerName = std::move(loggerName);
        if (!m_stream) {
            m_stream = std::make_unique<std::ofstream>();
        }
        if (m_fileName.empty()) {
            m_fileName = fileName;
        }
        opened = openStreamLocked(m_fileName);
        if (!opened) {
            // The file's folder is not writable: fall back to the home folder. The name kept is
            // the one that opened, so truncate and read-back reach the same file.
            const char* home = std::getenv("HOME");
            if (home != nullptr && *home != '\0') {
                const std::string homePath =
                    (std::filesystem::path(home) / std::filesystem::path(m_fileName).filename())
                        .string();
                opened = openStreamLocked(homePath);
                if (opened) {
                    m_fileName = homePath;
                }
            }
        }
        if (opened) {
            m_flags |= kFlagFileOpen;
        }
        m_flags |= kFlagEcho;
    }
    startWriter();
    return opened;
}

void CxLogger::close() {
    std::lock_guard<std::mutex> lock(m_streamMutex);
    if (m_stream) {
        m_stream->flush();
        m_stream->close();
        m_stream.reset();
    }
    m_flags &= ~kFlagFileOpen;
}

bool CxLogger::truncate() {
    std::lock_guard<std::mutex> lock(m_streamMutex);
    if (!m_stream) {
        return false;
    }
    m_stream->close();
    m_stream->clear();
    m_stream->open(m_fileName, std::ios::out | std::ios::trunc);
    return m_stream->is_open();
}

int CxLogger::setLevelMask(int level) {
    int mask = 0x18;
    switch (level) {
        case 2:
        case 4:
        case 32:
        case 128:
            mask = level;
            break;
        case 512:
            mask = 0x700;
            break;
        default:
            break;
    }
    m_enableMask = mask;
    return mask;
}

bool CxLogger::setEcho(bool echo) {
    if (echo) {
        m_flags |= kFlagFileOpen | kFlagEcho;
    } else {
        m_flags = (m_flags | kFlagFileOpen) & ~kFlagEcho;
    }
    stopWriter();
    startWriter();
    return true;
}

void CxLogger::logTime(int level) {
    log(level, "%D\n");
}

int CxLogger::setPrefixLevel(int level) {
    return m_prefixLevel.exchange(level);
}

void CxLogger::log(int level, const char* fmt, ...) {
    {
        std::lock_guard<std::mutex> lock(m_streamMutex);
        if (!m_stream) {
            std::cerr << " log file is NULL!" << std::endl;
            return;
        }
    }
    const int levelBit = level > 4 ? kMaskHigh : kMaskLow;
    if ((m_enableMask & levelBit) == 0) {
        return;
    }
    const char* prefix = "LOG(%D, %P, %t:):";
    if (level <= 4) {
        prefix = m_prefixLevel <= 4 ? "DBG(%D, %P, %t:)" : "DBG(%D, %P, t:%t:)";
    }
    va_list args;
    va_start(args, fmt);
    std::string line = LogFormat::expandStamps(prefix + LogFormat::format(fmt, args));
    va_end(args);
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
    }
    std::lock_guard<std::mutex> lock(m_pendingMutex);
    if (!m_pending.empty()) {
        m_pending.push_back('\n');
    }
    m_pending += line;
}

void CxLogger::writeToStderr(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_streamMutex);
    std::cerr << text;
}

void CxLogger::readLog(char** data, int* size) {
    if (data == nullptr || size == nullptr) {
        return;
    }
    *data = nullptr;
    *size = 0;
    std::lock_guard<std::mutex> lock(m_streamMutex);
    if (m_stream) {
        m_stream->close();
    }
    std::ifstream in(m_fileName, std::ios::in | std::ios::binary);
    if (in) {
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        char* copy = new (std::nothrow) char[text.size()];
        if (copy != nullptr) {
            std::copy(text.begin(), text.end(), copy);
            *data = copy;
            *size = static_cast<int>(text.size());
        }
    }
    if (m_stream) {
        m_stream->clear();
        m_stream->open(m_fileName, std::ios::out | std::ios::app);
    }
}

std::string CxLogger::fileName() const {
    std::lock_guard<std::mutex> lock(m_streamMutex);
    return m_fileName;
}

std::string CxLogger::loggerName() const {
    std::lock_guard<std::mutex> lock(m_streamMutex);
    return m_loggerName;
}

void CxLogger::flushPending() {
    std::string batch;
    {
        std::lock_guard<std::mutex> lock(m_pendingMutex);
        batch.swap(m_pending);
    }
    if (batch.empty()) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_streamMutex);
    if ((m_flags & kFlagEcho) != 0) {
        std::cerr << batch << '\n';
        std::cerr.flush();
    }
    if (m_stream && m_stream->is_open()) {
        *m_stream << batch << '\n';
        m_stream->flush();
    }
}

void CxLogger::startWriter() {
    std::lock_guard<std::mutex> lock(m_writerMutex);
    if (!m_writer) {
        m_writer = std::make_unique<LoggerThread>(*this);
    }
    if (!m_writer->started() && !m_writer->start()) {
        throw RuntimeException(kInitFailed);
    }
}

void CxLogger::stopWriter() {
    std::lock_guard<std::mutex> lock(m_writerMutex);
    if (m_writer) {
        m_writer->stop();
    }
}
