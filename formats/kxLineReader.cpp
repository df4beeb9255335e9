#include "kxLineReader.h"

#include <cstring>
#include <filesystem>
#include <system_error>

LineReader::LineReader(const char* path, int maxLine)
    : m_file(fileSize(path) >= 0 ? std::fopen(path, "r") : nullptr),
      m_buffer(static_cast<std::size_t>(maxLine), '\0') {}

bool LineReader::next(std::string& line) {
    if (!m_file ||
        std::fgets(m_buffer.data(), static_cast<int>(m_buffer.size()), m_file.get()) == nullptr) {
        return false;
    }
    line.assign(m_buffer.data(), std::strlen(m_buffer.data()));
    return true;
}

long LineReader::fileSize(const char* path) {
    // A folder opens and seeks like a file here; it is no image.
    std::error_code error;
    if (path == nullptr || !std::filesystem::is_regular_file(path, error)) {
        return -1;
    }
    FileHandle file(std::fopen(path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return -1;
    }
    return std::ftell(file.get());
}
