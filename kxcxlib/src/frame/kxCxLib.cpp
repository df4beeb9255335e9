#include "frame/kxCxLib.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <new>

#include "frame/kxLogSession.h"
#include "log/kxCxLogger.h"
#include "usb/kxTransportNotice.h"

namespace {

std::mutex g_lifeMutex;
std::atomic<kxCxLib*> g_instance{nullptr};
std::atomic<bool> g_valid{false};
std::atomic<int32_t> g_loadCount{0};
std::atomic<void*> g_moduleHandle{nullptr};

// When the library is attached to a process it makes its object and records its handle.
__attribute__((constructor)) void attachToProcess() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&attachToProcess), &info) != 0) {
        kxCxLib::recordModuleHandle(info.dli_fbase);
    }
    kxCxLib::obtain();
}

}  // namespace

kxCxLib* kxCxLib::obtain() {
    if (g_valid.load()) {
        return g_instance.load();
    }
    std::lock_guard<std::mutex> lock(g_lifeMutex);
    if (!g_valid.load()) {
        // A failed allocation still marks the object as made: every export then answers as for
        // a missing library object.
        g_instance.store(new (std::nothrow) kxCxLib());
        g_valid.store(true);
    }
    return g_instance.load();
}

void kxCxLib::destroy() {
    std::lock_guard<std::mutex> lock(g_lifeMutex);
    delete g_instance.exchange(nullptr);
    g_valid.store(false);
    g_loadCount.store(0);
    g_moduleHandle.store(nullptr);
}

bool kxCxLib::isValid() {
    return g_valid.load();
}

bool kxCxLib::isLoaded() {
    return g_loadCount.load() > 0;
}

void* kxCxLib::moduleHandle() {
    return g_moduleHandle.load();
}

void kxCxLib::recordModuleHandle(void* handle) {
    g_moduleHandle.store(handle);
}

kxCxLib::kxCxLib() {
    std::snprintf(m_versionLabel, sizeof m_versionLabel, "%d.%d.%02d.%03d", kVersionMajor,
                  kVersionMinor, kVersionRevision, kVersionBuild);
}

kxCxLib::~kxCxLib() {
    kx::TransportNotice::setSink({});
    CxLogger::destroyInstance();
}

int kxCxLib::load() {
    if (g_loadCount.load() > 0) {
        return 0;
    }
    try {
        fillErrorTexts();
        m_debugLogging = 0;
        LogSession::start(CxLogger::instance(), m_debugLogging != 0);
        // What the transport asks of the user (permission on a device node, ...) is logged.
        kx::TransportNotice::setSink([](const std::string& text) {
            if (CxLogger* logger = CxLogger::existing()) {
                logger->log(8, "%s\n", text.c_str());
            }
        });
        insertModelRows();
    } catch (const std::exception&) {
        return -2;
    }
    ++g_loadCount;
    return 0;
}

void kxCxLib::fillErrorTexts() {
    static const std::pair<int32_t, const char*> kTexts[] = {
        {0, "No errors."},
        {1, "Core error occured."},
        {22, "Device error encountered."},
        {2, "Device not defined or initialized."},
        {3, "Property does not exist, or value not allowed."},
        {8, "Unable to load library: file not accessible or corrupted."},
        {4, "Unable to identify expected interface: the library is not comaptible or corrupted."},
        {10,
         "Unable to identify CreateDevice function: the library is not comaptible or "
         "corrupted."},
        {11,
         "Unable to identify DeleteDevice function: the library is not comaptible or "
         "corrupted."},
        {9, "DeviceCreate function failed."},
        {12, "DeviceDelete function failed."},
        {7, "Current device can't be unloaded: using unknown library."},
        {13, "Unexpected device encountered."},
        {5, "Module version mismatch."},
        {6, "Device interface version mismatch."},
        {14, "Requested device seems fine, but the current one failed to unload."},
        {15, "Camera not loaded or initialized."},
        {19, "Unsupported API. This device is not a state device"},
        {20, "Configuration not defined"},
        {23, "Property block not defined"},
        {24, "Internal inconsistency: unknown system exception encountered"},
        {25, "Device timed out"},
        {26, "Unsupported interface. This device is not a shutter."},
        {16, "Specified device label already in use."},
        {27, "Unsupported interface. The specified device is not a serial port."},
        {29, "Unsupported interface. Device is not of the correct type."},
        {17, "Can't find the device with the specified label."},
        {31, "File open failed."},
        {32,
         "Invalid configuration file line encountered. Wrong number of tokens for the "
         "current context."},
        {33, "Reserved character(s) encountered in the value or name string."},
        {34, "Unrecognized core property."},
        {35, "Core property is read-only or the requested value is not allowed."},
        {36, "Configuration group not defined"},
        {38, "Group name already in use."},
        {37, "Camera image buffer read failed."},
        {40, "Failed to initialize circular buffer - memory requirements not adequate."},
        {41, "Circular buffer is empty."},
        {42, "Auto-focus focus device not defined."},
        {44, "Configuration name contains illegale characters (/\\*!')"},
        {46, "This operation can not be executed while sequence acquisition is runnning."},
        {47, "Out of memory."},
        {48, "Issue snapImage before getImage."},
        {49, "Null Pointer Exception."},
        {50, "Hub failed to create specified peripheral device."},
    };
    for (const auto& [number, text] : kTexts) {
        m_errorTexts.emplace(number, text);
    }
}
