// The account store over the file's locked access (LoginFile, LoginLineReader) and its atomic
// rewrite (LoginRewrite). Lines are written as 80 characters and CR LF; lines ending in LF or
// CR LF are read alike.
#include "LoginStore.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "LoginDigest.h"
#include "LoginFile.h"
#include "LoginLineReader.h"
#include "LoginRewrite.h"

namespace hv {

namespace {

// Columns of the user name (padded with spaces) before the digest.
constexpr std::size_t kNameColumns = 16;
// An account line without its line end.
constexpr std::size_t kLineLength = kNameColumns + LoginDigest::kLength;
static_assert(kLineLength + 2 == kLoginLineBytes);

// The password that removal by user name builds its line with; only the name part is compared.
constexpr const char* kRemovalPassword = "by-name";

bool isLegal(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           c == '-';
}

// The account line of (name, password, type) without line end, or the rule's code.
int buildLine(const char* name, const char* password, int type, std::string& line) {
    if (!isValidLoginText(name, 0)) {
        return kLoginBadName;
    }
    if (!isValidLoginText(password, 1)) {
        return kLoginBadPassword;
    }
    if (type < 0 || type >= kUserTypeCount) {
        return kLoginNoSuchType;
    }
    const std::string_view user(name);
    const auto digest = LoginDigest::of(user, password, type);
    line.assign(user);
    line.resize(kNameColumns, ' ');
    line.append(digest.data(), digest.size());
    return type;
}

// The line begins with the user name and its first pad space.
bool hasName(const LoginLineReader& reader, std::string_view nameAndPad) {
    return reader.text().substr(0, nameAndPad.size()) == nameAndPad;
}

bool isLine(const LoginLineReader& reader, std::string_view line) {
    return reader.length() == line.size() && reader.text() == line;
}

}  // namespace

bool isValidLoginText(const char* text, int mode) {
    if (text == nullptr || (mode != 0 && mode != 1)) {
        return false;
    }
    const std::size_t least = mode == 0 ? 3 : 5;
    const std::size_t most = mode == 0 ? kUserNameMax : kPasswordMax;
    // The scan ends at the first character that is not legal (the NUL among them) and never
    // goes more than one character past the longest valid text.
    std::size_t length = 0;
    while (length <= most && isLegal(text[length])) {
        ++length;
    }
    return text[length] == '\0' && length >= least && length <= most;
}

int userTypeIndex(const char* typeName) {
    if (typeName == nullptr) {
        return kLoginNoSuchType;
    }
    for (int type = 0; type < kUserTypeCount; ++type) {
        if (std::strcmp(typeName, kUserTypeNames[type]) == 0) {
            return type;
        }
    }
    return kLoginNoSuchType;
}

int makeLoginDigest(const char* name, const char* password, int type, char* digest) {
    std::string line;
    const int result = buildLine(name, password, type, line);
    if (result >= 0) {
        line.copy(digest, LoginDigest::kLength, kNameColumns);
        digest[LoginDigest::kLength] = '\0';
    }
    return result;
}

int makeLoginLine(const char* name, const char* password, int type, char* line) {
    std::string text;
    const int result = buildLine(name, password, type, text);
    if (result >= 0) {
        text += '\n';
        std::memcpy(line, text.c_str(), text.size() + 1);
    }
    return result;
}

int verifyLogin(const char* path, const char* name, const char* password) {
    std::string candidates[kUserTypeCount];
    for (int type = 0; type < kUserTypeCount; ++type) {
        const int result = buildLine(name, password, type, candidates[type]);
        if (result < 0) {
            return result;
        }
    }
    LoginFile file;
    if (path == nullptr || file.open(path, LoginFile::Access::Read) != 0) {
        return kLoginCannotOpen;
    }
    LoginLineReader reader(file.descriptor());
    int found = kLoginNoMatch;
    auto read = LoginLineReader::Result::Line;
    while (found == kLoginNoMatch && (read = reader.next()) == LoginLineReader::Result::Line) {
        for (int type = 0; type < kUserTypeCount && found == kLoginNoMatch; ++type) {
            if (isLine(reader, candidates[type])) {
                found = type;
            }
        }
    }
    if (file.close() != 0) {
        return kLoginCannotClose;
    }
    return read == LoginLineReader::Result::Error ? kLoginCannotOpen : found;
}

int addLoginUser(const char* path, const char* name, const char* password, const char* typeName) {
    const int type = userTypeIndex(typeName);
    if (type < 0) {
        return type;
    }
    std::string line;
    const int built = buildLine(name, password, type, line);
    if (built < 0) {
        return built;
    }
    for (int other = 0; other < kUserTypeCount; ++other) {
        std::string otherLine;
        if (other != type && buildLine(name, password, other, otherLine) >= 0 &&
            otherLine == line) {
            return kLoginInconsistent;
        }
    }

    LoginFile file;
    if (path == nullptr || file.open(path, LoginFile::Access::Append) != 0) {
        return kLoginCannotOpen;
    }
    const std::string_view nameAndPad(line.data(), std::strlen(name) + 1);
    LoginLineReader reader(file.descriptor());
    auto read = LoginLineReader::Result::Line;
    while ((read = reader.next()) == LoginLineReader::Result::Line) {
        if (hasName(reader, nameAndPad)) {
            return file.close() == 0 ? kLoginUserExists : kLoginCannotClose;
        }
    }
    if (read == LoginLineReader::Result::Error) {
        return kLoginCannotOpen;
    }
    // A line that cannot be written whole is taken back; the store reports it like the failed
    // close of a buffered write.
    const bool written = file.append(line);
    if (file.close() != 0 || !written) {
        return kLoginCannotClose;
    }
    return type;
}

int removeLoginUser(const char* path, const char* name, const char* password,
                    const char* typeName) {
    if ((password == nullptr) != (typeName == nullptr)) {
        return kLoginInconsistent;
    }
    const bool byName = password == nullptr;
    const int type = byName ? 0 : userTypeIndex(typeName);
    if (type < 0) {
        return type;
    }
    std::string line;
    const int built = buildLine(name, byName ? kRemovalPassword : password, type, line);
    if (built < 0) {
        return built;
    }

    // The exclusive lock is held from the reading until the new file is in place.
    LoginFile file;
    if (path == nullptr || file.open(path, LoginFile::Access::Update) != 0) {
        return kLoginCannotOpen;
    }
    LoginRewrite rewrite(path);
    if (rewrite.begin() != 0) {
        return kLoginCannotOpen;
    }
    const std::string_view nameAndPad(line.data(), std::strlen(name) + 1);
    LoginLineReader reader(file.descriptor());
    bool matched = false;
    auto read = LoginLineReader::Result::Line;
    while ((read = reader.next()) == LoginLineReader::Result::Line) {
        if (byName ? hasName(reader, nameAndPad) : isLine(reader, line)) {
            matched = true;
        } else if (reader.length() == kLineLength) {
            rewrite.add(reader.text());
        }
    }
    // Leaving early drops the temporary file (and then the lock).
    if (read == LoginLineReader::Result::Error) {
        return kLoginCannotOpen;
    }
    if (!matched) {
        return kLoginNoSuchUser;
    }
    const int committed = rewrite.commit();
    // The descriptor of the replaced file is released whatever close reports: the store is
    // already changed (or kept) as committed says.
    file.close();
    return committed == 0 ? type : committed;
}

}  // namespace hv
