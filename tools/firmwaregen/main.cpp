// firmwaregen DATA-FOLDER: writes the simulator's firmware images and gamma tables (FirmwareSet)
// under DATA-FOLDER, making the firmware/ and gamma/ folders as needed.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "FirmwareSet.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: firmwaregen DATA-FOLDER\n";
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const firmwaregen::GeneratedFile& file : firmwaregen::firmwareSet()) {
        const std::filesystem::path path = root / file.name;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.content.data(), static_cast<std::streamsize>(file.content.size()));
        if (!out.flush()) {
            std::cerr << "firmwaregen: cannot write " << path << "\n";
            return 1;
        }
        std::cout << path.string() << " (" << file.content.size() << " bytes)\n";
    }
    return 0;
}
