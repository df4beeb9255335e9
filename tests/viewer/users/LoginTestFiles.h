// Account files for the store's tests: account lines worked out by hand from the digest's steps
// (not by the store), and helpers that write and inspect files in the test's folder.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>

#include "LoginStore.h"

namespace logintest {

// ("admin", "secret", "Admin")
inline constexpr std::string_view kAdminLine =
    R"L(admin           @/A.(7g%'&'cb-VJzg1t#b'&W#'V8*x,')al8Q)cwv2#gA$5x5$gVlwl&$-vV*'a)L";
// ("Bob", "hunter22", "Support")
inline constexpr std::string_view kBobSupportLine =
    R"L(Bob             ?q*_N{5p-S8bHr9Rjpv)S|_#nQi|z499CSH.yFeYd9i&*Q,.R&p5Pq8@5G|RGz,})L";
// ("op_15-charsXYZ9", "abcdefghijklmnopqrst", "Operator"): the longest name and password.
inline constexpr std::string_view kLongOperatorLine =
    R"L(op_15-charsXYZ9 IaBlkP4H-e_d*`pjvNR/}XxL]0KJ>ib0r++GX/jNVgcQy7,>WQC5HDa62?ad;L5-)L";
// ("ab-_9", "passw", "Operator"): the shortest password.
inline constexpr std::string_view kShortOperatorLine =
    R"L(ab-_9           q!`w{}\Cupo>Q/K"v$`)$qyy#DBBO*y]GdMK]%ypdaER#_.CrG2RFoy{'Dio6o|q)L";

inline constexpr const char* kFile = "login.txt";
inline constexpr const char* kTemporary = "login.txt.tmp";

inline void writeFile(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

// The lines, each followed by end.
inline std::string joined(std::initializer_list<std::string_view> lines,
                          std::string_view end = "\r\n") {
    std::string text;
    for (const std::string_view line : lines) {
        text.append(line).append(end);
    }
    return text;
}

// The account line the store makes, without its line end.
inline std::string lineOf(const char* name, const char* password, int type) {
    char line[hv::kLoginLineBytes];
    if (hv::makeLoginLine(name, password, type, line) != type) {
        return {};
    }
    return std::string(line, 80);
}

inline bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The permission bits, -1 when the file is missing.
inline int modeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

}  // namespace logintest
