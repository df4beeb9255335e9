#include "Testbed.h"

#include <umockdev.h>

#include <stdexcept>

namespace usbmock {

namespace {

[[noreturn]] void fail(const char* what, GError* error) {
    std::string text = std::string("umockdev: ") + what;
    if (error != nullptr) {
        text += ": ";
        text += error->message;
        g_error_free(error);
    }
    throw std::runtime_error(text);
}

}  // namespace

Testbed::Testbed(UMockdevIoctlBase* handler)
    : m_testbed(umockdev_testbed_new()),
      m_handler(static_cast<UMockdevIoctlBase*>(g_object_ref(handler))) {}

Testbed::~Testbed() {
    g_object_unref(m_testbed);
    g_object_unref(m_handler);
}

std::string Testbed::rootDir() const {
    std::lock_guard lock(m_mutex);
    gchar* dir = umockdev_testbed_get_root_dir(m_testbed);
    std::string result = dir;
    g_free(dir);
    return result;
}

void Testbed::attach(const std::string& devNode) {
    std::lock_guard lock(m_mutex);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(m_testbed, devNode.c_str(), m_handler, &error)) {
        fail("cannot attach the ioctl handler", error);
    }
}

void Testbed::add(const std::string& record) {
    std::lock_guard lock(m_mutex);
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_testbed, record.c_str(), &error)) {
        fail("cannot add a device", error);
    }
}

void Testbed::uevent(const std::string& sysPath, const char* action) {
    std::lock_guard lock(m_mutex);
    umockdev_testbed_uevent(m_testbed, sysPath.c_str(), action);
}

void Testbed::remove(const std::string& sysPath) {
    std::lock_guard lock(m_mutex);
    umockdev_testbed_remove_device(m_testbed, sysPath.c_str());
}

}  // namespace usbmock
