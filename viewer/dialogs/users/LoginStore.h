// The account store: the file "login.txt", one line per account, each the user name padded to 16
// columns and a 64-character digest of name, password and user type, ended by CR LF (lines ending
// in LF alone are read too). Plain functions over NUL-terminated 8-bit strings that return the
// codes below; the dialogs turn them into messages.
//
// Each operation opens the file, locks it (shared to verify, exclusive to add or remove, from the
// reading until the change is on disk) and closes it again; nothing is cached. A removal writes
// the new content to the path with ".tmp" appended and renames that over the file, so the file is
// either the old one or the new one, never a part. Files are created with mode 0600.
#pragma once

namespace hv {

enum LoginCode {
    kLoginNoSuchType = -100,
    kLoginBadName = -101,
    kLoginBadPassword = -102,
    kLoginNoMatch = -200,
    kLoginUserExists = -201,
    kLoginNoSuchUser = -202,
    kLoginCannotOpen = -300,
    // A file cannot be closed: the login file after reading it or after adding a line (a line
    // that cannot be written whole is taken back and reported so too), or the temporary file of
    // a removal before it is renamed (the old file is then kept).
    kLoginCannotClose = -301,
    // The old file cannot be replaced: the new content cannot be written or synced to disk
    // completely (a full disk, an I/O error). The old file is kept, the temporary file removed.
    kLoginCannotDelete = -302,
    // The temporary file cannot be renamed over the file. The old file is kept, the temporary
    // file removed.
    kLoginCannotMove = -303,
    kLoginInconsistent = -500,
};

// The user types by index: 0 "Operator", 1 "Support", 2 "Admin".
inline constexpr int kUserTypeCount = 3;
inline constexpr const char* kUserTypeNames[kUserTypeCount] = {"Operator", "Support", "Admin"};

// Field widths of the log-in and removal requests (without the NUL).
inline constexpr int kUserNameMax = 15;
inline constexpr int kPasswordMax = 20;
// An account line: 80 characters, the newline and the NUL.
inline constexpr int kLoginLineBytes = 82;

// mode 0: a user name (3 to 15 characters); mode 1: a password (5 to 20). Characters 0-9, A-Z,
// a-z, '_' and '-' only. Any other mode is invalid.
bool isValidLoginText(const char* text, int mode);
// 0, 1 or 2 for an exact type name; -100 for anything else or null.
int userTypeIndex(const char* typeName);
// The 64 digest characters of (name, password, type) into digest (at least 65 bytes, NUL
// added). Returns type, or -101 / -102 when the inputs break the rules, -100 for a type other
// than 0..2; nothing is written then.
int makeLoginDigest(const char* name, const char* password, int type, char* digest);
// The account line: name padded to 16 columns, the digest, "\n" and the NUL, into line (at least
// 82 bytes). Returns type, or -101 / -102 / -100 as makeLoginDigest.
int makeLoginLine(const char* name, const char* password, int type, char* line);

// Type 0..2 of the first account line that matches (each line tried with the types in order),
// or a negative code: the rules' codes before the file is touched, -300 for a missing or
// unreadable file, -200 when no line matches.
int verifyLogin(const char* path, const char* name, const char* password);
// Type of the new account, or a negative code (-201 when a line with this user name exists,
// whatever its type). Creates the file when it is missing; the line is appended.
int addLoginUser(const char* path, const char* name, const char* password, const char* typeName);
// Removes the account lines that match (password and type both given: the whole line; both
// null: the user name alone, every line of it) and drops every line that is not 80 characters;
// the other lines keep their order. Type used for the match (0 for the user name alone), or a
// negative code (-202 when nothing matches, the file then unchanged).
int removeLoginUser(const char* path, const char* name, const char* password, const char* typeName);

}  // namespace hv
