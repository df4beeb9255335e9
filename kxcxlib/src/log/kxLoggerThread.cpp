#include "log/kxLoggerThread.h"

#include <chrono>

#include "log/kxCxLogger.h"

LoggerThread::LoggerThread(CxLogger& logger) : m_logger(logger) {
    setThreadName("kx-log");
}

LoggerThread::~LoggerThread() {
    stop();
}

bool LoggerThread::start() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = false;
    }
    return DeviceThreadBase::start();
}

void LoggerThread::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    join();
}

void LoggerThread::svcThread() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        lock.unlock();
        m_logger.flushPending();
        lock.lock();
        m_wake.wait_for(lock, std::chrono::milliseconds(kPeriodMs), [this] { return m_stop; });
    }
    lock.unlock();
    // Lines logged just before the stop are written too.
    m_logger.flushPending();
}
