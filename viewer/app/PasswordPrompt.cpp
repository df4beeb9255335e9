#include "PasswordPrompt.h"

#include <termios.h>
#include <unistd.h>

namespace hv {

namespace {

// Turns the terminal's echo off while it lives.
class EchoOff {
public:
    explicit EchoOff(int fd) : m_fd(fd) {
        m_active = ::tcgetattr(fd, &m_saved) == 0;
        if (m_active) {
            termios quiet = m_saved;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            quiet.c_lflag |= ECHONL;
            m_active = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~EchoOff() {
        if (m_active) {
            ::tcsetattr(m_fd, TCSANOW, &m_saved);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_fd;
    termios m_saved{};
    bool m_active = false;
};

}  // namespace

bool PasswordPrompt::isTerminal() const {
    return ::isatty(::fileno(m_in)) == 1;
}

std::string PasswordPrompt::read(const char* prompt) {
    if (!isTerminal()) {
        return readLine();
    }
    // Echo goes off before the prompt shows, so nothing typed after it is echoed.
    const EchoOff quiet(::fileno(m_in));
    std::fputs(prompt, m_err);
    std::fflush(m_err);
    return readLine();
}

std::string PasswordPrompt::readLine() {
    std::string line;
    for (int c = std::getc(m_in); c != EOF && c != '\n'; c = std::getc(m_in)) {
        if (line.size() < kKept) {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty() && line.size() < kKept && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace hv
