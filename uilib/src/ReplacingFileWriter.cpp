#include "ReplacingFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace kxui {

namespace {

// Links followed in one name before giving up, as the system does (ELOOP).
constexpr int kMaxLinks = 40;
// The temporary name is the file's name with ".tmp-" and eight hexadecimal digits.
constexpr size_t kSuffixLength = 13;

std::atomic<uint32_t> s_sequence{0};

// The folder part of name ("." when there is none) and the name within it.
std::string folderOf(const std::string& name) {
    const size_t slash = name.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : name.substr(0, slash);
}

std::string temporaryName(const std::string& target) {
    const size_t slash = target.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    // Cut a long file name so that the temporary one stays within the file system's limit.
    const size_t kept = std::min(target.size() - start, size_t{NAME_MAX} - kSuffixLength);
    // Different processes start from different numbers; O_EXCL settles the rest.
    const uint32_t number =
        (static_cast<uint32_t>(getpid()) * 2654435761u) ^ s_sequence.fetch_add(1);
    char suffix[kSuffixLength + 1];
    std::snprintf(suffix, sizeof suffix, ".tmp-%08x", static_cast<unsigned>(number));
    return target.substr(0, start + kept) + suffix;
}

// Makes what the rename did last through a crash; a file system that cannot flush a folder
// still has the file in place, so this is done as well as it can be.
void flushFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string ReplacingFileWriter::resolve(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path path(name);
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            break;
        }
        const fs::path link = fs::read_symlink(path, error);
        if (error) {
            break;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path.string();
}

ReplacingFileWriter::ReplacingFileWriter(const std::string& target) : m_target(resolve(target)) {
    struct stat existing {};
    const bool exists = lstat(m_target.c_str(), &existing) == 0;
    if (exists && S_ISLNK(existing.st_mode)) {
        errno = ELOOP;
        return;
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return;
    }
    // A file the user may not write stays as it is, as it would when written directly.
    if (exists && faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0) {
        return;
    }
    for (int attempt = 0; attempt < 100 && m_stream == nullptr; ++attempt) {
        std::string name = temporaryName(m_target);
        // Mode 0666 lets the process's umask decide, as creating the file directly would.
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return;
        }
        if (exists && S_ISREG(existing.st_mode)) {
            fchmod(fd, existing.st_mode & 07777);
        }
        m_stream = fdopen(fd, "w");
        if (m_stream == nullptr) {
            ::close(fd);
            unlink(name.c_str());
            return;
        }
        m_temporary = std::move(name);
    }
}

ReplacingFileWriter::~ReplacingFileWriter() {
    discard();
}

bool ReplacingFileWriter::commit() {
    if (m_stream == nullptr) {
        return false;
    }
    bool written =
        std::fflush(m_stream) == 0 && std::ferror(m_stream) == 0 && fsync(fileno(m_stream)) == 0;
    written = std::fclose(m_stream) == 0 && written;
    m_stream = nullptr;
    if (!written || std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
    flushFolder(folderOf(m_target));
    return true;
}

void ReplacingFileWriter::discard() {
    if (m_stream != nullptr) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    if (!m_temporary.empty()) {
        unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

}  // namespace kxui
