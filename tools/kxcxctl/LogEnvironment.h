// Where the camera library's log goes during a kxcxctl run, and whether it is echoed.
#pragma once

#include <string>

class LogEnvironment {
public:
    // The library reads these when its log session starts (loadCxLib).
    static constexpr const char* kFolderVariable = "KXCX_LOG_DIR";
    static constexpr const char* kEchoVariable = "KXCX_LOG_ECHO";

    // $XDG_STATE_HOME/kxcx, or $HOME/.local/state/kxcx when XDG_STATE_HOME is unset or not an
    // absolute path; empty when there is no home folder either.
    static std::string defaultFolder();

    // Asks the library to echo its log and module records to standard error only when verbose,
    // and to write them to the default folder unless KXCX_LOG_DIR is set already. Must run
    // before the first library call.
    static void prepare(bool verbose);

    // Where to read what the library logged, for a message whose reason only the log holds:
    // "the library log echoed here <says>" when it is echoed, else "the library log in <folder>
    // <says> (-v shows it here)". The folder is the one prepare chose (the current folder when
    // none). Messages end with it: "<what failed>: <pointTo>".
    static std::string pointTo(const std::string& says);
};
