#include "kxReadableFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "kxFileHandle.h"

std::string ReadableFile::problem(const char* path) {
    std::error_code error;
    const auto status = std::filesystem::status(path != nullptr ? path : "", error);
    if (!std::filesystem::exists(status)) {
        return "there is no such file";
    }
    if (std::filesystem::is_directory(status)) {
        return "it is a folder";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "it is not a regular file";
    }
    const FileHandle file(std::fopen(path, "rb"));
    if (!file) {
        return std::string("it cannot be read (") + std::strerror(errno) + ")";
    }
    return {};
}
