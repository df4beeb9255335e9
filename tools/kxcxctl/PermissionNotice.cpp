#include "PermissionNotice.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "LogEnvironment.h"

std::optional<std::string> PermissionNotice::lastIn(const std::string& text) {
    const std::string start = kStart;
    const std::string end = kEnd;
    for (std::size_t at = text.rfind(start); at != std::string::npos;
         at = at == 0 ? std::string::npos : text.rfind(start, at - 1)) {
        const std::size_t stop = text.find(end, at);
        const std::size_t lineEnd = text.find('\n', at);
        if (stop == std::string::npos || (lineEnd != std::string::npos && stop > lineEnd)) {
            continue;  // cut short, or not the library's sentence
        }
        // The node: "BBB/DDD", digits and one slash.
        const std::string node = text.substr(at + start.size(), stop - at - start.size());
        const std::size_t slash = node.find('/');
        if (slash == std::string::npos || slash == 0 || slash + 1 == node.size() ||
            node.find_first_not_of("0123456789/") != std::string::npos ||
            node.find('/', slash + 1) != std::string::npos) {
            continue;
        }
        return text.substr(at, stop + end.size() - at);
    }
    return std::nullopt;
}

std::string PermissionNotice::withoutNode() {
    return std::string("no permission on the board's node under /dev/bus/usb") + kEnd;
}

std::string LogMark::todaysFileName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[64];
    std::snprintf(name, sizeof name, "kxCxLog%04d%02d%02d.txt", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday);
    return name;
}

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
    for (const std::string& path : candidates(todaysFileName())) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        mark.m_files.push_back({path, error ? 0 : size});
    }
    return mark;
}

std::string LogMark::appended() const {
    std::vector<File> files = m_files;
    for (const std::string& path : candidates(todaysFileName())) {
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
