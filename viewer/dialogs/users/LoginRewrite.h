// A new content for the account file, put in place atomically: the lines go to a temporary file
// beside it (the path with ".tmp" appended, mode 0600), which is synced and then renamed over the
// file. Whatever fails, the old file stays whole and no temporary file is left behind. The
// caller holds the file's exclusive lock (LoginFile) from before its reading until after
// commit().
#pragma once

#include <string>
#include <string_view>

namespace hv {

class LoginRewrite {
public:
    explicit LoginRewrite(std::string path);
    // Removes the temporary file unless it was committed.
    ~LoginRewrite();
    LoginRewrite(const LoginRewrite&) = delete;
    LoginRewrite& operator=(const LoginRewrite&) = delete;

    // Creates the temporary file (replacing one left over from an interrupted rewrite): 0, or
    // kLoginCannotOpen.
    int begin();
    // One line of the new content (without line end; CR LF is added).
    void add(std::string_view line);
    // Writes and syncs the temporary file and renames it over the file: 0, or
    //   kLoginCannotDelete  the temporary file cannot be written or synced completely (a full
    //                       disk, an I/O error), so the old file cannot be replaced safely;
    //   kLoginCannotClose   the temporary file cannot be closed;
    //   kLoginCannotMove    the rename fails.
    // In each failure the old file is kept as it was and the temporary file is removed.
    int commit();
    // Drops the new content and removes the temporary file.
    void discard();

    // The rename commit() uses; tests put one in that fails. Returns the one it replaces.
    using RenameFunction = int (*)(const char* from, const char* to);
    static RenameFunction setRenameFunction(RenameFunction rename);

private:
    std::string m_path;
    std::string m_temporary;
    std::string m_content;
    int m_fd = -1;
    bool m_exists = false;
};

}  // namespace hv
