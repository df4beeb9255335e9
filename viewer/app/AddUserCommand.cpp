#include "AddUserCommand.h"

#include <filesystem>
#include <utility>

#include "LoginStore.h"
#include "PasswordPrompt.h"

namespace hv {

namespace {

// A text the store can take whole: a NUL inside would cut it short.
bool isWhole(const std::string& text) {
    return text.find('\0') == std::string::npos;
}

}  // namespace

AddUserCommand::AddUserCommand(std::string name, std::string typeName, std::string folder)
    : m_name(std::move(name)), m_typeName(std::move(typeName)), m_folder(std::move(folder)) {}

const char* AddUserCommand::reason(int code) {
    switch (code) {
        case kLoginCannotClose:
            return "Cannot close login file";
        case kLoginCannotOpen:
            return "Cannot open login file";
        case kLoginUserExists:
            return "User already exists or invalid user name";
        case kLoginNoSuchType:
            return "no such user type (Operator, Support or Admin)";
        case kLoginBadName:
            return "invalid username:\ntoo long or too short or contains illegal symbols.";
        case kLoginBadPassword:
            return "invalid Password:\ntoo long or too short or contains illegal symbols.";
        default:
            return "Other Errors";
    }
}

int AddUserCommand::fail(std::FILE* err, const std::string& why) const {
    std::fprintf(err, "Unable to create new user:\n%s\n", why.c_str());
    return 1;
}

int AddUserCommand::run(std::FILE* in, std::FILE* out, std::FILE* err) {
    std::filesystem::path path("login.txt");
    if (!m_folder.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(m_folder, error)) {
            return fail(err, "No such folder: " + m_folder);
        }
        path = std::filesystem::path(m_folder) / path;
    }
    // What can be checked without the password is checked before it is asked for.
    if (userTypeIndex(m_typeName.c_str()) < 0 || !isWhole(m_typeName)) {
        return fail(err, reason(kLoginNoSuchType));
    }
    if (!isWhole(m_name) || !isValidLoginText(m_name.c_str(), 0)) {
        return fail(err, reason(kLoginBadName));
    }

    PasswordPrompt prompt(in, err);
    const std::string password = prompt.read("Password: ");
    if (prompt.isTerminal() && prompt.read("Repeat password: ") != password) {
        std::fputs("Passwords didn't match.\n", err);
        return 1;
    }
    if (!isWhole(password)) {
        return fail(err, reason(kLoginBadPassword));
    }
    const int result =
        addLoginUser(path.c_str(), m_name.c_str(), password.c_str(), m_typeName.c_str());
    if (result < 0) {
        return fail(err, reason(result));
    }
    std::fprintf(out, "User \"%s\" created successfully.\n", m_name.c_str());
    return 0;
}

}  // namespace hv
