#include "LogMark.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "LogEnvironment.h"
#include "kxDailyLogName.h"

std::vector<std::string> LogMark::candidates(const std::string& fileName) {
    std::vector<std::string> paths;
    const char* folder = std::getenv(LogEnvironment::kFolderVariable);
    paths.push_back(folder != nullptr && folder[0] != '\0'
                        ? (std::filesystem::path(folder) / fileName).string()
                        : fileName);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        const std::string inHome = (std::filesystem::path(home) / fileName).string();
        if (inHome != paths.front()) {
            paths.push_back(inHome);
        }
    }
    return paths;
}

LogMark LogMark::now() {
    LogMark mark;
    for (const std::string& path : candidates(DailyLogName::today())) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        mark.m_files.push_back({path, error ? 0 : size});
    }
    return mark;
}

std::string LogMark::appended() const {
    std::vector<File> files = m_files;
    for (const std::string& path : candidates(DailyLogName::today())) {
        bool known = false;
        for (const File& file : m_files) {
            known = known || file.path == path;
        }
        if (!known) {
            files.push_back({path, 0});  // the day changed during the run
        }
    }
    std::string text;
    for (const File& file : files) {
        std::ifstream in(file.path, std::ios::binary);
        if (!in) {
            continue;
        }
        std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text += whole.size() >= file.size ? whole.substr(file.size) : whole;
        text += '\n';
    }
    return text;
}
