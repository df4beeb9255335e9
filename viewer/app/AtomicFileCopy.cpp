#include "AtomicFileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace hv {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::string reason(int code) {
    return std::system_category().message(code);
}

// The source, closed when it goes.
struct SourceFile {
    explicit SourceFile(const std::filesystem::path& path)
        : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~SourceFile() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;
    int fd;
};

// The copy under its temporary name: removed when it goes, unless it was put in place.
struct TemporaryFile {
    explicit TemporaryFile(const std::filesystem::path& target)
        : name((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()) {
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        stream = fd < 0 ? nullptr : ::fdopen(fd, "wb");
        if (fd >= 0 && !stream) {
            ::close(fd);
        }
        made = fd >= 0;
    }
    ~TemporaryFile() {
        if (stream) {
            std::fclose(stream);
        }
        if (made) {
            ::unlink(name.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Flushes the copy to the disk and closes it; false (errno set) when it is not whole there.
    bool finish() {
        bool whole = std::fflush(stream) == 0 && ::fchmod(::fileno(stream), 0644) == 0 &&
                     ::fsync(::fileno(stream)) == 0;
        whole = std::fclose(stream) == 0 && whole;
        stream = nullptr;
        return whole;
    }

    std::string name;
    std::FILE* stream = nullptr;
    bool made = false;
};

// Gives the copy the target's name, unless that name exists by now.
bool placeWithoutReplacing(TemporaryFile& copy, const std::filesystem::path& target) {
    if (::renameat2(AT_FDCWD, copy.name.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        copy.made = false;
        return true;
    }
    // A file system without that kind of rename: a second link refuses an existing name too,
    // and the temporary name goes with the copy.
    return errno == EINVAL && ::link(copy.name.c_str(), target.c_str()) == 0;
}

}  // namespace

AtomicFileCopy::Result AtomicFileCopy::copy(const std::filesystem::path& source,
                                            const std::filesystem::path& target, std::string& why) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, error))) {
        return Present;
    }
    SourceFile in(source);
    if (in.fd < 0) {
        why = reason(errno);
        return SourceUnreadable;
    }
    std::error_code folderError;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), folderError);
    }
    if (folderError) {
        why = folderError.message();
        return TargetUnwritable;
    }
    TemporaryFile out(target);
    if (!out.stream) {
        why = reason(errno);
        return TargetUnwritable;
    }
    // Unbuffered: what was read is in the temporary file at once, and a short write shows.
    std::setvbuf(out.stream, nullptr, _IONBF, 0);
    std::vector<char> buffer(kChunk);
    for (;;) {
        const ssize_t count = ::read(in.fd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            why = reason(errno);
            return SourceUnreadable;
        }
        if (count == 0) {
            break;
        }
        const auto size = static_cast<std::size_t>(count);
        if (std::fwrite(buffer.data(), 1, size, out.stream) != size) {
            why = reason(errno);
            return TargetUnwritable;
        }
    }
    if (!out.finish()) {
        why = reason(errno);
        return TargetUnwritable;
    }
    if (!placeWithoutReplacing(out, target)) {
        if (errno == EEXIST) {
            return Present;
        }
        why = reason(errno);
        return TargetUnwritable;
    }
    return Copied;
}

}  // namespace hv
