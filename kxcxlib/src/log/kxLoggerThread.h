// The library log's writer: every 30 ms it writes what the logger has collected.
#pragma once

#include <condition_variable>
#include <mutex>

#include "thread/kxDeviceThreadBase.h"

class CxLogger;

class LoggerThread : public SD::DeviceThreadBase {
public:
    explicit LoggerThread(CxLogger& logger);
    ~LoggerThread() override;

    // Clears the stop flag and starts the thread.
    bool start() override;

    // Sets the stop flag and waits for the thread to end; the thread writes what is pending
    // before it ends.
    void stop();

protected:
    void svcThread() override;

private:
    static constexpr int kPeriodMs = 30;

    CxLogger& m_logger;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
};
