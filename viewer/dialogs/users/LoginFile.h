// The account file opened for one operation and locked for it: a shared lock to read, an
// exclusive lock to change it. The lock is taken on the file that the path names once locked: a
// process that waited while another one replaced the file opens the new one instead of working
// on the replaced one. Closed (and unlocked) at the latest when the object goes.
#pragma once

#include <string>
#include <string_view>

namespace hv {

class LoginFile {
public:
    enum class Access {
        Read,    // shared lock; the file must exist
        Update,  // exclusive lock; the file must exist
        Append,  // exclusive lock; created (mode 0600) when missing
    };

    LoginFile() = default;
    ~LoginFile();
    LoginFile(const LoginFile&) = delete;
    LoginFile& operator=(const LoginFile&) = delete;

    // Opens and locks a regular file: 0, or kLoginCannotOpen.
    int open(const std::string& path, Access access);
    // The open descriptor, -1 when closed.
    int descriptor() const { return m_fd; }
    // Writes line and CR LF at the end of the file, after a CR LF of its own when the file's last
    // line has no line end, and syncs the file to disk. On failure the file is cut back to its
    // old size and false is returned.
    bool append(std::string_view line);
    // Closes and unlocks: 0, or kLoginCannotClose.
    int close();

    // Writes all of text to fd, going on after short writes and interruptions.
    static bool writeAll(int fd, std::string_view text);

private:
    int m_fd = -1;
};

}  // namespace hv
