#include "LoginFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "LoginStore.h"

namespace hv {

namespace {

// Another process may replace the file between our open and our lock; each time that happens the
// open is tried again, up to this many times.
constexpr int kOpenAttempts = 100;

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int lockRetrying(int fd, int operation) {
    int result = 0;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

bool LoginFile::writeAll(int fd, std::string_view text) {
    const char* data = text.data();
    std::size_t size = text.size();
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

LoginFile::~LoginFile() {
    close();
}

int LoginFile::open(const std::string& path, Access access) {
    close();
    // Non-blocking, so that a FIFO in the file's place does not hang the open; it is refused
    // below like every file that is not a regular one.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    flags |= access == Access::Read ? O_RDONLY : O_RDWR;
    if (access == Access::Append) {
        flags |= O_CREAT;
    }
    const int lock = access == Access::Read ? LOCK_SH : LOCK_EX;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        const int fd = ::open(path.c_str(), flags, 0600);
        if (fd < 0) {
            return kLoginCannotOpen;
        }
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
            lockRetrying(fd, lock) != 0) {
            ::close(fd);
            return kLoginCannotOpen;
        }
        if (::stat(path.c_str(), &named) == 0 && sameFile(opened, named)) {
            m_fd = fd;
            return 0;
        }
        ::close(fd);
    }
    return kLoginCannotOpen;
}

bool LoginFile::append(std::string_view line) {
    struct stat status {};
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0) {
        return false;
    }
    std::string text;
    char last = '\n';
    if (status.st_size > 0 && ::pread(m_fd, &last, 1, status.st_size - 1) != 1) {
        return false;
    }
    if (last != '\n') {
        text += "\r\n";
    }
    text += line;
    text += "\r\n";
    if (::lseek(m_fd, status.st_size, SEEK_SET) == status.st_size && writeAll(m_fd, text) &&
        ::fsync(m_fd) == 0) {
        return true;
    }
    // Nothing half-written stays behind.
    if (::ftruncate(m_fd, status.st_size) == 0) {
        ::fsync(m_fd);
    }
    return false;
}

int LoginFile::close() {
    if (m_fd < 0) {
        return 0;
    }
    const int fd = m_fd;
    m_fd = -1;
    // The descriptor is released even when close reports an error; closing it again could close
    // a descriptor that another thread has opened meanwhile.
    return ::close(fd) == 0 ? 0 : kLoginCannotClose;
}

}  // namespace hv
