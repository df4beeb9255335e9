#include "ControlServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ControlProtocol.h"

namespace boardsim {

namespace {

bool fillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Whether a server answers at the path.
bool answers(const sockaddr_un& address) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool connected =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return connected;
}

}  // namespace

ControlServer::ControlServer(SimHost& host, std::string path)
    : m_commands(host), m_path(std::move(path)) {}

ControlServer::~ControlServer() {
    stop();
}

int ControlServer::bindPath() {
    sockaddr_un address;
    if (!fillAddress(m_path, address)) {
        return -ENAMETOOLONG;
    }
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    if (bind(m_listen, raw, sizeof(address)) == 0) {
        return 0;
    }
    if (errno != EADDRINUSE) {
        return -errno;
    }
    struct stat info;
    if (lstat(m_path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) {
        return -EEXIST;
    }
    if (answers(address)) {
        return -EADDRINUSE;
    }
    // Left behind by a program that ended without cleaning up.
    unlink(m_path.c_str());
    return bind(m_listen, raw, sizeof(address)) == 0 ? 0 : -errno;
}

int ControlServer::start() {
    if (serving()) {
        return -EALREADY;
    }
    m_listen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0) {
        return -errno;
    }
    int result = bindPath();
    if (result == 0) {
        chmod(m_path.c_str(), 0600);
        struct stat info;
        if (stat(m_path.c_str(), &info) == 0) {
            m_device = info.st_dev;
            m_inode = info.st_ino;
        }
        if (listen(m_listen, 8) != 0 || pipe2(m_wake, O_CLOEXEC) != 0) {
            result = -errno;
            unlink(m_path.c_str());
        }
    }
    if (result != 0) {
        close(m_listen);
        m_listen = -1;
        return result;
    }
    m_thread = std::thread([this] { run(); });
    return 0;
}

void ControlServer::stop() {
    if (!m_thread.joinable()) {
        return;
    }
    const char byte = 0;
    while (write(m_wake[1], &byte, 1) < 0 && errno == EINTR) {
    }
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // The process ends from inside a request (a listener of the host called exit): the
        // thread cannot wait for itself; it stops at its next wait and the process ends anyway.
        m_thread.detach();
        return;
    }
    m_thread.join();
    struct stat info;
    if (stat(m_path.c_str(), &info) == 0 && info.st_dev == m_device && info.st_ino == m_inode) {
        unlink(m_path.c_str());
    }
    close(m_listen);
    close(m_wake[0]);
    close(m_wake[1]);
    m_listen = -1;
    m_wake[0] = m_wake[1] = -1;
}

bool ControlServer::waitReadable(int fd, std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    while (true) {
        const int ready = poll(fds, 2, static_cast<int>(timeout.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && fds[1].revents == 0 && fds[0].revents != 0;
    }
}

void ControlServer::run() {
    while (waitReadable(m_listen, std::chrono::milliseconds(-1))) {
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            serveConnection(fd);
            close(fd);
        }
    }
}

void ControlServer::serveConnection(int fd) {
    std::string pending;
    char buffer[512];
    while (waitReadable(fd, kIdleTimeout)) {
        const ssize_t count = recv(fd, buffer, sizeof(buffer), 0);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        const bool ended = count <= 0;
        if (!ended) {
            pending.append(buffer, static_cast<std::size_t>(count));
        } else if (!pending.empty()) {
            pending.push_back('\n');  // a last request without its line feed
        }
        std::size_t newline;
        while ((newline = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            std::string reply;
            for (const std::string& part : m_commands.execute(line)) {
                reply += part + "\n";
            }
            if (!sendAll(fd, reply)) {
                return;
            }
        }
        if (pending.size() > ControlProtocol::kMaxLineLength) {
            sendAll(fd, ControlProtocol::errorLine("request line too long") + "\n");
            return;
        }
        if (ended) {
            return;
        }
    }
}

bool ControlServer::sendAll(int fd, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t count = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace boardsim
