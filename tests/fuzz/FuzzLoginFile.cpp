// The account file: any content reads without fault; a removal leaves whole account lines ended
// by CR LF and no temporary file; an account added to it logs in with its type.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FuzzScratch.h"
#include "LoginStore.h"

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Lines of 80 characters (a CR among them is a character, only LF ends a line) and CR LF, none of
// them with the user name.
bool isCleanFile(const std::string& content, const std::string& name) {
    if (content.size() % 82 != 0) {
        return false;
    }
    for (std::size_t line = 0; line < content.size(); line += 82) {
        if (content.compare(line + 80, 2, "\r\n") != 0 || content.find('\n', line) != line + 81 ||
            content.compare(line, name.size() + 1, name + " ") == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::FuzzScratch::write("login.txt", data, size);
    const std::string temporary = path + ".tmp";

    const int login = hv::verifyLogin(path.c_str(), "admin", "secret");
    if (login != hv::kLoginNoMatch && (login < 0 || login > 2)) {
        __builtin_trap();
    }

    const int added = hv::addLoginUser(path.c_str(), "Bobby", "hunter22", "Support");
    if (added != 1 && added != hv::kLoginUserExists) {
        __builtin_trap();
    }
    if (added == 1 && hv::verifyLogin(path.c_str(), "Bobby", "hunter22") != 1) {
        __builtin_trap();
    }

    const int removed = hv::removeLoginUser(path.c_str(), "admin", nullptr, nullptr);
    if ((removed != 0 && removed != hv::kLoginNoSuchUser) || std::filesystem::exists(temporary)) {
        __builtin_trap();
    }
    if (removed == 0 && !isCleanFile(contentOf(path), "admin")) {
        __builtin_trap();
    }
    // What a removal writes reads back as it was written.
    if (removed == 0 &&
        hv::removeLoginUser(path.c_str(), "admin", nullptr, nullptr) != hv::kLoginNoSuchUser) {
        __builtin_trap();
    }

    const int removedAccount = hv::removeLoginUser(path.c_str(), "Bobby", "hunter22", "Support");
    if (added == 1 && removedAccount != 1) {
        __builtin_trap();
    }
    return 0;
}
