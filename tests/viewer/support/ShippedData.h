// What an installed program finds in its root, put into a test's working folder: the shipped
// register file, the default firmware and the gamma tables (in "Config/Gamma").
#pragma once

#include <filesystem>

namespace hvtest {

inline void copyShippedData(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    const fs::path data = HARNVIEW_SHIPPED_DATA_DIR;
    fs::copy_file(data / "reg_init.txt", folder / "reg_init.txt");
    fs::copy(data / "firmware", folder / "firmware", fs::copy_options::recursive);
    fs::create_directories(folder / "Config");
    fs::copy(data / "gamma", folder / "Config" / "Gamma", fs::copy_options::recursive);
}

}  // namespace hvtest
