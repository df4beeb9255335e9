// The files shipped with the system that Harnview needs in its root: the sensor's register file
// "reg_init.txt", the default firmware images "firmware/default.*" (bitstream, flash image, MCU
// program, boot image), the gamma tables "Config/Gamma/Lookup1024_*.txt" and the two logos
// "Nelvoralogo.png" and "NV Logo - Help UI.png". A file missing in the root is added from its
// shipped copy; one that is there stays as it is, since the user may have changed it.
//
// A shipped data folder is laid out like the repository's data/: reg_init.txt, firmware/ and
// gamma/. An installed program keeps it, with the logos beside it, in
// <folder of the executable>/../share/kxcx/; a program run from the build tree uses the
// repository's data/ and the logos drawn into the build's viewer folder.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace hv {

class ShippedFiles {
public:
    ShippedFiles(std::filesystem::path dataFolder, std::filesystem::path pictureFolder);

    // The shipped files of the program at executable: its share/kxcx/ when that folder exists,
    // else the build tree's.
    static ShippedFiles forProgram(const std::filesystem::path& executable);
    // The running program's.
    static ShippedFiles forThisProgram();

    const std::filesystem::path& dataFolder() const { return m_dataFolder; }
    const std::filesystem::path& pictureFolder() const { return m_pictureFolder; }

    // Adds to root each shipped file missing there. A file that cannot be read or added is
    // reported on err, one line each, and the others still go; when any were added, one line
    // names them. Returns how many were added.
    int addMissing(const std::filesystem::path& root, std::FILE* err) const;

private:
    // A shipped file and its name in the root.
    struct Item {
        std::filesystem::path source;
        std::string target;
    };
    // Every shipped file; a folder whose files cannot be listed is reported on err.
    std::vector<Item> items(std::FILE* err) const;

    std::filesystem::path m_dataFolder;
    std::filesystem::path m_pictureFolder;
};

}  // namespace hv
