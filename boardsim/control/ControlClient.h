// The other end of the control channel: sends one request to the server of the simulated
// boards and collects its reply. Used by "kxcxctl sim" in a process of its own.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace boardsim {

class ControlClient {
public:
    static constexpr std::chrono::milliseconds kReplyTimeout{5000};

    // Sends the request line (ControlProtocol::formatRequest) to the server at path and fills
    // reply with the reply's lines, the final "ok" or "error: ..." line included. Returns 0, or
    // -ENOENT / -ECONNREFUSED when no server listens there, -ENAMETOOLONG for a path a socket
    // cannot have, -ETIMEDOUT when the reply did not end within the time-out, -EPROTO when the
    // server closed the connection before the reply ended, or another -errno of the socket.
    static int exchange(const std::string& path, const std::string& request,
                        std::vector<std::string>& reply,
                        std::chrono::milliseconds timeout = kReplyTimeout);
};

}  // namespace boardsim
