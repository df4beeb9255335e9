// `Harnview --add-user NAME --type TYPE [--root DIR]`: creates an account in login.txt of
// Harnview's root (VelquinRoot), for example the first "Admin" of a new installation, which the
// user manager needs before it creates any account. The password is read from the input: one
// line, or on a terminal asked twice without echo.
#pragma once

#include <cstdio>
#include <string>

namespace hv {

class AddUserCommand {
public:
    // typeName: "Operator", "Support" or "Admin", exactly; folder holds login.txt ("" is the
    // current folder). It must exist: the program makes the root before it runs the command.
    AddUserCommand(std::string name, std::string typeName, std::string folder);

    // Creates the account; the result text goes to out (success) or err (failure). 0 on success,
    // 1 otherwise.
    int run(std::FILE* in, std::FILE* out, std::FILE* err);

    // The reason shown after "Unable to create new user:\n" for a code of the account store.
    static const char* reason(int code);

private:
    int fail(std::FILE* err, const std::string& reason) const;

    std::string m_name;
    std::string m_typeName;
    std::string m_folder;
};

}  // namespace hv
