// Limits the size of the files the process writes while it lives, so that tests can make a
// write fail part way through. Writing past the limit fails with EFBIG instead of raising
// SIGXFSZ.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace uitest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &m_previousAction);
        getrlimit(RLIMIT_FSIZE, &m_previousLimit);
        const rlimit small{bytes, m_previousLimit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previousLimit);
        sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct sigaction m_previousAction {};
    rlimit m_previousLimit{};
};

}  // namespace uitest
