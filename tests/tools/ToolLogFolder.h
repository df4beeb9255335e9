// kxcxctl sends the library's log to the user's state folder and sets the echo in the process's
// environment. While a test lives, the state folder is one inside the test's folder, and the
// log variables are put back as they were afterwards.
#pragma once

#include <string>

#include "ScopedEnv.h"

class ToolLogFolder {
public:
    explicit ToolLogFolder(const std::string& stateHome)
        : m_stateHome("XDG_STATE_HOME", stateHome.c_str()), m_logFolder(stateHome + "/kxcx") {}

    // Where the tool's library log goes unless KXCX_LOG_DIR says otherwise.
    const std::string& path() const { return m_logFolder; }

private:
    ScopedEnv m_stateHome;
    ScopedEnv m_folder{"KXCX_LOG_DIR", nullptr};
    ScopedEnv m_echo{"KXCX_LOG_ECHO", nullptr};
    std::string m_logFolder;
};
