// Serves the control channel on a Unix stream socket, on a thread of its own. Connections are
// taken one at a time; each may carry several requests. A connection that stays silent for
// kIdleTimeout is closed.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "ControlCommands.h"
#include "host/SimHost.h"

namespace boardsim {

class ControlServer {
public:
    static constexpr std::chrono::milliseconds kIdleTimeout{5000};

    // The host is borrowed and must outlive the server.
    ControlServer(SimHost& host, std::string path);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    // Creates the socket and starts serving. A socket file that no server answers any more is
    // replaced. Returns 0, -EADDRINUSE when a live server holds the path, -EEXIST when
    // something other than a socket is there, -ENAMETOOLONG, -EALREADY when serving already,
    // or the socket call's -errno.
    int start();
    // Stops serving and removes the socket file (unless another server has replaced it).
    // Called by the destructor; safe to call more than once.
    void stop();

    bool serving() const { return m_thread.joinable(); }
    const std::string& path() const { return m_path; }

private:
    void run();
    void serveConnection(int fd);
    // Waits until fd is readable; false on stop, time-out or error.
    bool waitReadable(int fd, std::chrono::milliseconds timeout);
    static bool sendAll(int fd, const std::string& text);
    // Binds m_listen to the path; -errno.
    int bindPath();

    ControlCommands m_commands;
    const std::string m_path;
    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    dev_t m_device = 0;
    ino_t m_inode = 0;
    std::thread m_thread;
};

}  // namespace boardsim
