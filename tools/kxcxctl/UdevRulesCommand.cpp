#include "UdevRulesCommand.h"

#include <cstdio>
#include <sstream>

namespace {

std::string hex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

}  // namespace

int UdevRulesCommand::run(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    std::string path = kx::DeviceMap::defaultPath();
    if (args.size() == 2 && args[0] == "--map") {
        path = args[1];
    } else if (!args.empty()) {
        err << "kxcxctl udev-rules: takes only --map FILE" << std::endl;
        return 2;
    }
    const kx::DeviceMap map = kx::DeviceMap::load(path, err);
    if (map.entries().empty()) {
        err << "kxcxctl udev-rules: the device map " << (path.empty() ? "(no path)" : path)
            << " names no board; add a line \"MODEL-LABEL VID:PID\" for each (see the README on "
               "udev rules)"
            << std::endl;
        return 1;
    }
    out << rules(map, path);
    return 0;
}

std::string UdevRulesCommand::rules(const kx::DeviceMap& map, const std::string& mapPath) {
    std::ostringstream text;
    text << "# Camera boards named in the device map " << mapPath << ", for the user at the seat.\n"
         << "# Written by kxcxctl udev-rules. Install as /etc/udev/rules.d/" << kFileName << ",\n"
         << "# then: sudo udevadm control --reload-rules && sudo udevadm trigger\n";
    for (const kx::DeviceMap::Entry& entry : map.entries()) {
        text << "\n# " << entry.label << " (line " << entry.line << " of the map)\n"
             << "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\""
             << hex4(entry.vendorId) << "\", ATTR{idProduct}==\"" << hex4(entry.productId)
             << "\", TAG+=\"uaccess\"\n";
    }
    return text.str();
}

CommandEntry UdevRulesCommand::entry() {
    return {"udev-rules",
            {"udev-rules [--map FILE]   udev rules giving the seat's user the mapped boards"},
            &UdevRulesCommand::run};
}
