// Where the presets live: the installation's settings folder ("Config" of the program's root)
// and its subfolders per area. A preset named N is the file N + ".txt" of its folder. The program
// hands over the settings folder it decided on; until then "Config" of the working folder is
// used, which is the root of a program that works in its root.
#pragma once

#include <string>

#include "kxUiExport.h"

class KXUI_API PresetFolders {
public:
    // The settings folder; its subfolders follow it.
    static void setConfigFolder(const std::string& folder);
    static std::string configFolder();

    static std::string metering();      // <config>/Metering
    static std::string preference();    // <config> itself
    static std::string gamma();         // <config>/Gamma
    static std::string color();         // <config>/Color
    static std::string illumination();  // <config>/Illumination
    static std::string sharpness();     // <config>/Sharpness
    static std::string debug();         // "debug" beside the settings folder (<root>/debug)

    // The file of the preset name in folder: folder + "/" + name + ".txt".
    static std::string presetFile(const std::string& folder, const std::string& name);
};
