// The digest of an account line: 64 printable characters ("!" to "~") from the user name, the
// password and the user type, keyed by the user name and salted with a fixed text. Every stored
// account line depends on the salt and the prime tables: they must never change.
#pragma once

#include <array>
#include <string_view>

namespace hv {

class LoginDigest {
public:
    static constexpr int kLength = 64;

    // The digest of (name, password, type). The name and password must already pass the rules
    // (non-empty, legal characters); type is 0, 1 or 2.
    static std::array<char, kLength> of(std::string_view name, std::string_view password, int type);

private:
    // The 128-character working text: 64 pairs of a salt character and a password or filler
    // character.
    static std::array<char, 2 * kLength> workingText(std::string_view password, int type);
};

}  // namespace hv
