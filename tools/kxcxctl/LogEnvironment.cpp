#include "LogEnvironment.h"

#include <cstdlib>

std::string LogEnvironment::defaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/kxcx";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/state/kxcx";
    }
    return {};
}

void LogEnvironment::prepare(bool verbose) {
    setenv(kEchoVariable, verbose ? "1" : "0", 1);
    const std::string folder = defaultFolder();
    if (!folder.empty()) {
        setenv(kFolderVariable, folder.c_str(), 0);
    }
}

std::string LogEnvironment::pointTo(const std::string& says) {
    const char* echo = std::getenv(kEchoVariable);
    if (echo != nullptr && std::string(echo) == "1") {
        return "the library log echoed here " + says;
    }
    const char* folder = std::getenv(kFolderVariable);
    const std::string where = folder != nullptr && folder[0] != '\0' ? folder : ".";
    return "the library log in " + where + " " + says + " (-v shows it here)";
}
