#include "ListCommand.h"

#include <kxCxApi.h>

#include <iomanip>

#include "SimConfigCheck.h"

int ListCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        err << "kxcxctl list: takes no arguments" << std::endl;
        return 2;
    }
    if (const std::string problem = SimConfigCheck::problem(); !problem.empty()) {
        err << "kxcxctl list: " << problem << std::endl;
        return 1;
    }
    if (loadCxLib() != 0) {
        err << "kxcxctl list: the camera library could not be loaded" << std::endl;
        return 1;
    }
    const int found = findCxDevices();
    std::vector<std::string> names;
    getCxDeviceNames(names);
    if (found < 0) {
        err << "kxcxctl list: discovery failed (" << found << ")" << std::endl;
        unloadCxLib();
        return 1;
    }
    if (names.empty()) {
        out << "no camera board found" << std::endl;
    } else {
        out << std::left << std::setw(20) << "NAME" << std::setw(16) << "MODEL"
            << "VARIANT" << std::endl;
        for (const std::string& name : names) {
            out << std::left << std::setw(20) << name << std::setw(16) << modelOf(name)
                << variantOf(name) << std::endl;
        }
    }
    removeCxDevices();
    unloadCxLib();
    return 0;
}

std::string ListCommand::modelOf(const std::string& deviceName) {
    const std::size_t underscore = deviceName.rfind('_');
    return underscore == std::string::npos ? deviceName : deviceName.substr(0, underscore);
}

std::string ListCommand::variantOf(const std::string& deviceName) {
    const std::string model = modelOf(deviceName);
    if (model == "RT4207-x6B6B") {
        return "rtCamDevice";
    }
    if (model == "MV3318-x7654" || model == "MV3329-x5542") {
        return "mvCamDevice";
    }
    return {};
}

CommandEntry ListCommand::entry() {
    return {
        "list", {"list        the camera boards found: name, model, variant"}, &ListCommand::run};
}
