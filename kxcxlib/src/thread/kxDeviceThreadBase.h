// The camera library's thread base: one OS thread running the derived class's body.
#pragma once

#include <pthread.h>

#include <chrono>
#include <cstddef>

namespace SD {

class DeviceThreadBase {
public:
    DeviceThreadBase() = default;
    DeviceThreadBase(const DeviceThreadBase&) = delete;
    DeviceThreadBase& operator=(const DeviceThreadBase&) = delete;

    // A derived class ends its body and joins (join below) in its own destructor, before its
    // members go away; the base only joins a thread that is still running as a last resort.
    virtual ~DeviceThreadBase();

    // Creates the OS thread running svcThread with this object. Returns false when a thread of
    // this object is still running or the OS refused one.
    virtual bool start();

    // Waits for the thread to end. Returns true when it has ended (or never ran), false when it
    // is still running after the time-out; the thread handle is then kept.
    bool join(std::chrono::milliseconds timeout);
    // Waits without a bound.
    void join();

    bool started() const { return m_started; }

protected:
    // The thread body.
    virtual void svcThread() = 0;
    // Stack size of the OS thread; 0 keeps the system's default.
    void setStackSize(std::size_t bytes) { m_stackSize = bytes; }
    // The OS thread's name (at most 15 characters), as tools and /proc show it.
    void setThreadName(const char* name) { m_name = name; }

private:
    static void* threadEntry(void* self);

    pthread_t m_thread{};
    bool m_started = false;
    std::size_t m_stackSize = 0;
    const char* m_name = nullptr;
};

}  // namespace SD
