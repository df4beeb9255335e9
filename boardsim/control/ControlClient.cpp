#include "ControlClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ControlProtocol.h"

namespace boardsim {

namespace {

// Closes the socket when the exchange ends, whichever way.
class Socket {
public:
    Socket() : m_fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

int ControlClient::exchange(const std::string& path, const std::string& request,
                            std::vector<std::string>& reply, std::chrono::milliseconds timeout) {
    reply.clear();
    sockaddr_un address;
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        return -ENAMETOOLONG;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    Socket connection;
    if (connection.fd() < 0) {
        return -errno;
    }
    if (connect(connection.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) !=
        0) {
        return -errno;
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t count =
            send(connection.fd(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return count < 0 ? -errno : -EPROTO;
        }
        sent += static_cast<std::size_t>(count);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string pending;
    char buffer[1024];
    while (true) {
        std::size_t newline;
        while ((newline = pending.find('\n')) != std::string::npos) {
            reply.push_back(pending.substr(0, newline));
            pending.erase(0, newline + 1);
            if (ControlProtocol::isFinal(reply.back())) {
                return 0;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fds = {connection.fd(), POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&fds, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return -errno;
        }
        if (ready == 0) {
            return -ETIMEDOUT;
        }
        const ssize_t count = recv(connection.fd(), buffer, sizeof(buffer), 0);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return -errno;
        }
        if (count == 0) {
            return -EPROTO;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace boardsim
