// "kxcxctl list": the boards the camera library finds.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "CommandEntry.h"

class ListCommand {
public:
    static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // The command table's row "list": its help lines and run.
    static CommandEntry entry();

    // The device class a device name's model selects ("rtCamDevice" or "mvCamDevice"), empty
    // when the model is not known.
    static std::string variantOf(const std::string& deviceName);
    // The model label of a device name ("RT4207-x6B6B_00" -> "RT4207-x6B6B").
    static std::string modelOf(const std::string& deviceName);
};
