// Harnview's root: the folder it works in. Every relative path of the viewer ("reg_init.txt",
// "firmware/default.bit", "login.txt", "ImageData/...", the logos) is read there, and the
// installation's fixed tree (C:\Velquin\... in the Windows layout, "Config/Gamma/" and the like)
// lives there too. This class is the only place that decides where that folder is.
#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace hv {

class VelquinRoot {
public:
    // The root asked for: folder when not empty (--root DIR), else $VELQUIN_ROOT, else
    // $HOME/Velquin, made absolute against the current folder. Empty when none of them is set.
    static std::filesystem::path choose(const std::string& folder);

    // Creates folder (with its parents) when missing, makes it the working folder and sets
    // VELQUIN_ROOT to it, so that folder() and path() answer with it and the camera library and
    // programs started from here find the same tree. On failure returns false, leaves the working
    // folder and VELQUIN_ROOT as they were and why holds the reason, for example "cannot create the
    // folder /x/y: Permission denied". Called on the main thread before other threads start (it
    // changes the environment).
    static bool enter(const std::filesystem::path& folder, std::string& why);

    // The root: the folder entered, else the default one (choose("")); empty when there is none.
    static std::filesystem::path folder();

    // A file or folder of the installation's tree: "Config/Gamma/Lookup1024_0.txt" gives
    // "<root>/Config/Gamma/Lookup1024_0.txt". relative uses '/' as its separator.
    static QString path(const QString& relative);
};

}  // namespace hv
