// The whole content of a file, for tests that check what was written ("" when missing).
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace uitest {

inline std::string readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace uitest
