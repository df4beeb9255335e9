// Harnview's command line: what the program is asked to do before any window exists.
#pragma once

#include <string>
#include <vector>

namespace hv {

struct HarnviewOptions {
    enum Action { Run, PrintVersion, PrintHelp, AddUser, Refuse };
    Action action = Run;
    bool simulate = false;  // --simulate: the simulated board instead of the USB bus
    std::string userName;   // --add-user NAME
    std::string userType;   // --type TYPE
    std::string folder;     // --root DIR ("" = the default root, see VelquinRoot)
    std::string problem;    // why the command line was refused
};

class HarnviewCommandLine {
public:
    // Reads the arguments after the program's name.
    static HarnviewOptions parse(const std::vector<std::string>& arguments);
    static std::string versionText();
    static std::string helpText();
};

}  // namespace hv
