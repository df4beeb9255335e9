#include "PresetFolders.h"

#include <filesystem>

namespace {

// Used on the GUI thread only, as the dialogs are.
std::string& folderInUse() {
    static std::string folder = "Config";
    return folder;
}

std::string under(const char* name) {
    return folderInUse() + "/" + name;
}

}  // namespace

void PresetFolders::setConfigFolder(const std::string& folder) {
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    folderInUse() = trimmed.empty() ? "Config" : trimmed;
}

std::string PresetFolders::configFolder() {
    return folderInUse();
}

std::string PresetFolders::metering() {
    return under("Metering");
}

std::string PresetFolders::preference() {
    return folderInUse();
}

std::string PresetFolders::gamma() {
    return under("Gamma");
}

std::string PresetFolders::color() {
    return under("Color");
}

std::string PresetFolders::illumination() {
    return under("Illumination");
}

std::string PresetFolders::sharpness() {
    return under("Sharpness");
}

std::string PresetFolders::debug() {
    return (std::filesystem::path(folderInUse()).parent_path() / "debug").string();
}

std::string PresetFolders::presetFile(const std::string& folder, const std::string& name) {
    return folder + "/" + name + ".txt";
}
