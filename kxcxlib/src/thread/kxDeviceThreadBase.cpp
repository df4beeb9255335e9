#include "thread/kxDeviceThreadBase.h"

#include <time.h>

#include <cerrno>

namespace SD {

DeviceThreadBase::~DeviceThreadBase() {
    join();
}

void* DeviceThreadBase::threadEntry(void* self) {
    static_cast<DeviceThreadBase*>(self)->svcThread();
    return nullptr;
}

bool DeviceThreadBase::start() {
    if (m_started) {
        return false;
    }
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) {
        return false;
    }
    if (m_stackSize != 0 && pthread_attr_setstacksize(&attr, m_stackSize) != 0) {
        pthread_attr_destroy(&attr);
        return false;
    }
    const int rc = pthread_create(&m_thread, &attr, &DeviceThreadBase::threadEntry, this);
    pthread_attr_destroy(&attr);
    m_started = rc == 0;
    if (m_started && m_name != nullptr) {
        pthread_setname_np(m_thread, m_name);
    }
    return m_started;
}

bool DeviceThreadBase::join(std::chrono::milliseconds timeout) {
    if (!m_started) {
        return true;
    }
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count();
    deadline.tv_sec += static_cast<time_t>(ns / 1000000000);
    deadline.tv_nsec += static_cast<long>(ns % 1000000000);
    if (deadline.tv_nsec >= 1000000000) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000;
    }
    if (pthread_timedjoin_np(m_thread, nullptr, &deadline) != 0) {
        return false;
    }
    m_started = false;
    return true;
}

void DeviceThreadBase::join() {
    if (m_started) {
        pthread_join(m_thread, nullptr);
        m_started = false;
    }
}

}  // namespace SD
