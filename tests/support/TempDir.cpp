#include "TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kxcx-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = buffer.data();
    m_previous = std::filesystem::current_path().string();
    std::filesystem::current_path(m_path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(std::filesystem::path(m_path) / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
