#include "LoginRewrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "LoginFile.h"
#include "LoginStore.h"

namespace hv {

namespace {

LoginRewrite::RenameFunction renameFunction = &std::rename;

// Makes the rename itself durable; a folder that cannot be synced does not undo it.
void syncFolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) {
        folder = ".";
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

LoginRewrite::LoginRewrite(std::string path)
    : m_path(std::move(path)), m_temporary(m_path + ".tmp") {}

LoginRewrite::~LoginRewrite() {
    discard();
}

LoginRewrite::RenameFunction LoginRewrite::setRenameFunction(RenameFunction rename) {
    return std::exchange(renameFunction, rename);
}

int LoginRewrite::begin() {
    discard();
    // A left-over temporary file (or anything else of that name, a link too) is removed first, so
    // that the new one is ours alone and made with our mode.
    if (::unlink(m_temporary.c_str()) != 0 && errno != ENOENT) {
        return kLoginCannotOpen;
    }
    m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        return kLoginCannotOpen;
    }
    m_exists = true;
    return 0;
}

void LoginRewrite::add(std::string_view line) {
    m_content += line;
    m_content += "\r\n";
}

int LoginRewrite::commit() {
    if (m_fd < 0) {
        return kLoginCannotOpen;
    }
    if (!LoginFile::writeAll(m_fd, m_content) || ::fsync(m_fd) != 0) {
        discard();
        return kLoginCannotDelete;
    }
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) {
        discard();
        return kLoginCannotClose;
    }
    if (renameFunction(m_temporary.c_str(), m_path.c_str()) != 0) {
        discard();
        return kLoginCannotMove;
    }
    m_exists = false;
    m_content.clear();
    syncFolderOf(m_path);
    return 0;
}

void LoginRewrite::discard() {
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
    }
    if (std::exchange(m_exists, false)) {
        ::unlink(m_temporary.c_str());
    }
    m_content.clear();
}

}  // namespace hv
