// One umockdev test bed: a private /sys and /dev for this process (and the children it starts
// with the preload library), with one ioctl handler serving every device node added.
//
// Creating it sets UMOCKDEV_DIR for the process; only one may exist at a time. The process must
// have umockdev's preload library loaded (linked in, or LD_PRELOAD), or uevents cannot be sent.
// Thread-safe: the calls that change the bed are serialised.
#pragma once

#include <mutex>
#include <string>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;

namespace usbmock {

class Testbed {
public:
    // The handler gets every ioctl on the nodes attached; the bed keeps a reference to it.
    explicit Testbed(UMockdevIoctlBase* handler);
    // Removes the bed's folder and unsets UMOCKDEV_DIR. No file of it may be open any more.
    ~Testbed();
    Testbed(const Testbed&) = delete;
    Testbed& operator=(const Testbed&) = delete;

    // The folder that stands in for / (UMOCKDEV_DIR).
    std::string rootDir() const;

    // Routes the ioctls on a device node (created later by add) to the handler.
    void attach(const std::string& devNode);
    // Adds the devices of a record (SysfsRecord); throws std::runtime_error when umockdev refuses.
    void add(const std::string& record);
    // Sends a uevent ("add", "remove") for a device of the bed.
    void uevent(const std::string& sysPath, const char* action);
    void remove(const std::string& sysPath);

private:
    mutable std::mutex m_mutex;
    UMockdevTestbed* m_testbed = nullptr;
    UMockdevIoctlBase* m_handler = nullptr;
};

}  // namespace usbmock
