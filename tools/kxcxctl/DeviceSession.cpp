#include "DeviceSession.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "LogEnvironment.h"
#include "LogMark.h"
#include "PermissionNotice.h"
#include "SimConfigCheck.h"

DeviceSession::DeviceSession(const std::string& name, const std::string& regFile) {
    if (m_error = SimConfigCheck::problem(); !m_error.empty()) {
        return;
    }
    const LogMark logMark = LogMark::now();
    m_loaded = true;
    if (loadCxLib() != 0) {
        m_error = "the camera library could not be loaded";
        return;
    }
    findCxDevices();
    std::vector<std::string> names;
    getCxDeviceNames(names);
    if (names.empty()) {
        m_error = "no camera board found";
        return;
    }
    if (name.empty()) {
        if (names.size() > 1) {
            m_error = std::to_string(names.size()) + " boards found: choose one with --device NAME";
            return;
        }
        m_name = names.front();
    } else if (std::find(names.begin(), names.end(), name) == names.end()) {
        m_error = "no board named " + name + " (kxcxctl list shows the boards)";
        return;
    } else {
        m_name = name;
    }
    m_handle = openCxDevice(m_name, 400, 400, 480000, regFile.empty() ? nullptr : regFile.c_str(),
                            nullptr);
    if (m_handle == nullptr) {
        const int error = errno;  // the library's platform error of the failed open
        if (error == EACCES) {
            // The library logged the node it may not open; its log is whole once it unloads.
            unload();
            m_error = m_name + " could not be opened: " +
                      PermissionNotice::lastIn(logMark.appended())
                          .value_or(PermissionNotice::withoutNode());
            return;
        }
        m_error = m_name + " could not be opened: " + LogEnvironment::pointTo("says why");
    }
}

void DeviceSession::unload() {
    if (!m_loaded) {
        return;
    }
    m_loaded = false;
    if (m_handle != nullptr) {
        closeCxDevice(m_handle);
        m_handle = nullptr;
    }
    removeCxDevices();
    unloadCxLib();
}

bool DeviceSession::boardRemoved() const {
    int status = 0;
    return m_handle != nullptr && getAcqCallbackProc(m_handle, &status) == nullptr &&
           status == ENODEV;
}

DeviceSession::~DeviceSession() {
    unload();
}
