#include "VelquinRoot.h"

#include <cstdlib>
#include <system_error>

namespace hv {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::filesystem::path VelquinRoot::choose(const std::string& folder) {
    std::filesystem::path chosen = folder;
    if (chosen.empty()) {
        chosen = variable("VELQUIN_ROOT");
    }
    if (chosen.empty() && !variable("HOME").empty()) {
        chosen = std::filesystem::path(variable("HOME")) / "Velquin";
    }
    if (chosen.empty()) {
        return chosen;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(chosen, error);
    return (error ? chosen : absolute).lexically_normal();
}

bool VelquinRoot::enter(const std::filesystem::path& folder, std::string& why) {
    if (folder.empty()) {
        why = "no folder to work in: give --root DIR or set VELQUIN_ROOT or HOME";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        why = "cannot create the folder " + folder.string() + ": " + error.message();
        return false;
    }
    std::filesystem::current_path(folder, error);
    if (error) {
        why = "cannot enter the folder " + folder.string() + ": " + error.message();
        return false;
    }
    setenv("VELQUIN_ROOT", folder.c_str(), 1);
    return true;
}

std::filesystem::path VelquinRoot::folder() {
    return choose("");
}

QString VelquinRoot::path(const QString& relative) {
    return QString::fromStdString((folder() / relative.toStdString()).string());
}

}  // namespace hv
