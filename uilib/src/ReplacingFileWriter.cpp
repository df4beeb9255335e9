#include "ReplacingFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace kxui {

namespace {

std::atomic<unsigned> s_sequence{0};

}  // namespace

ReplacingFileWriter::ReplacingFileWriter(std::string target) : m_target(std::move(target)) {
    for (int attempt = 0; attempt < 100 && m_stream == nullptr; ++attempt) {
        std::string name = m_target + ".tmp-" + std::to_string(getpid()) + "-" +
                           std::to_string(s_sequence.fetch_add(1));
        // Mode 0666 lets the process's umask decide, as creating the file directly would.
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return;
        }
        struct stat existing {};
        if (stat(m_target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
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
