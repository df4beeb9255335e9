// The simulated boards of this process, as a USB host would see them: which are plugged in, in
// the order they arrived.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "board/CameraBoard.h"
#include "config/BoardConfig.h"

namespace boardsim {

class SimHost {
public:
    // The process's host; on first use it builds the boards that KXCX_SIM describes (the
    // default board when unset). A text it cannot read leaves no board and keeps the error.
    static SimHost& instance();

    // Starts the control channel's server (ControlServer) for this host at the socket that
    // KXCX_SIM_SOCKET names (ControlProtocol::socketPath; "none": no server); it serves until
    // the process ends. Only the process's first call starts one. When another program serves
    // that socket, this one says so once on standard error and serves nothing. The sim backend
    // calls it for the process's host.
    void serveControlChannel();

    SimHost() = default;
    // The boards it made no longer report re-enumerations to it.
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    // Replaces every board with new, plugged ones, numbered per model from 0.
    void configure(const std::vector<BoardConfig>& boards);
    // configure from a KXCX_SIM text; false (boards unchanged) with the error.
    bool configure(std::string_view description, std::string& error);

    // The error of the KXCX_SIM text read on first use, or empty.
    std::string configError() const;

    // Every board, plugged or not, in configuration order.
    std::vector<std::shared_ptr<CameraBoard>> boards() const;
    // The plugged boards in arrival order.
    std::vector<std::shared_ptr<CameraBoard>> presentBoards() const;
    // The board of a path, plugged or not; null if none.
    std::shared_ptr<CameraBoard> board(std::string_view path) const;

    // Pull a board out or put it back (it then arrives last). False for an unknown path.
    bool unplug(std::string_view path);
    bool plug(std::string_view path);
    // A plugged board whose controller restarted with a new program leaves and comes back (it
    // then arrives last): removal, then arrival. False for an unknown or unplugged path.
    bool reenumerate(std::string_view path);

    // Told of every arrival (true) and removal (false), on the thread that plugs or unplugs,
    // outside the host's lock. Returns an id for removeListener.
    using Listener = std::function<void(const std::string& path, bool arrived)>;
    int addListener(Listener listener);
    void removeListener(int id);

private:
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<CameraBoard>> m_boards;
    // Plugged boards, in arrival order.
    std::vector<std::shared_ptr<CameraBoard>> m_present;
    std::string m_configError;

    std::mutex m_listenerMutex;
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_nextListenerId = 1;

    void notify(const std::string& path, bool arrived);
};

}  // namespace boardsim
