#include "FuzzScratch.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzz {

namespace {

struct Folder {
    Folder() {
        std::error_code error;
        std::filesystem::path base("/dev/shm");
        if (!std::filesystem::is_directory(base, error)) {
            base = std::filesystem::temp_directory_path();
        }
        std::string pattern = (base / "kxui-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

}  // namespace

const std::string& FuzzScratch::folder() {
    static const Folder scratch;
    return scratch.path;
}

std::string FuzzScratch::write(const char* name, const uint8_t* data, size_t size) {
    const std::string file = folder() + "/" + name;
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) {
        std::abort();
    }
    if (size > 0) {
        std::fwrite(data, 1, size, out);
    }
    std::fclose(out);
    return file;
}

void FuzzScratch::startQt() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

}  // namespace fuzz
