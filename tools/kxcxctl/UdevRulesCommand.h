// "kxcxctl udev-rules": a udev rules file that lets the user at the seat open the boards the
// device map names, without root.
//
// udev cannot read the device interface GUID by which the library knows most boards (it stands
// in the Microsoft OS descriptors), so a board is matched by the vendor and product ids its
// device map line gives. Each gets TAG+="uaccess", which systemd-logind turns into an access
// list for the local user; that tag is applied by 73-seat-late.rules, so the file's name sorts
// before it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

#include "kxDeviceMap.h"

class UdevRulesCommand {
public:
    // The name the rules file is installed under.
    static constexpr const char* kFileName = "70-kxcx-boards.rules";

    // kxcxctl udev-rules [--map FILE]: the rules for the map at FILE, by default the library's
    // device map. 1 (and nothing on out) when the map names no board.
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "udev-rules": its help lines and run.
    static CommandEntry entry();

    // The rules file for map, read from mapPath.
    static std::string rules(const kx::DeviceMap& map, const std::string& mapPath);
};
