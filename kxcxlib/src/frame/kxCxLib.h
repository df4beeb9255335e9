// The library object: one per process, created on first use by any export.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "frame/kxCamDeviceList.h"

class kxCxLib : public CamDeviceList {
public:
    static constexpr int kVersionMajor = 2;
    static constexpr int kVersionMinor = 1;
    static constexpr int kVersionRevision = 0;
    static constexpr int kVersionBuild = 6;

    // The object, created when missing; null when it cannot be created.
    static kxCxLib* obtain();
    // Destroys the object (and the library log with it) and forgets that the library was
    // loaded. The model and device tables stay.
    static void destroy();

    static bool isValid();
    static bool isLoaded();
    // The module handle recorded when the library was attached to the process.
    static void* moduleHandle();
    static void recordModuleHandle(void* handle);

    kxCxLib();
    ~kxCxLib();
    kxCxLib(const kxCxLib&) = delete;
    kxCxLib& operator=(const kxCxLib&) = delete;

    // Fills the error texts, starts the log session and inserts the model rows, once per
    // object. 0, or -2 when a step failed.
    int load();

    const char* versionLabel() const { return m_versionLabel; }
    const std::map<int32_t, std::string>& errorTexts() const { return m_errorTexts; }
    int32_t debugLogging() const { return m_debugLogging; }

private:
    void fillErrorTexts();

    std::map<int32_t, std::string> m_errorTexts;
    int32_t m_debugLogging = 0;
    char m_versionLabel[50] = {};
};
