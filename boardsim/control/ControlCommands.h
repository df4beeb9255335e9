// The commands of the control channel, carried out on a host's boards. Each request gives its
// reply lines, the last "ok" or "error: <reason>" (ControlProtocol has the commands).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ControlRequest.h"
#include "board/CameraBoard.h"
#include "host/SimHost.h"

namespace boardsim {

class ControlCommands {
public:
    // The host is borrowed and must outlive this object.
    explicit ControlCommands(SimHost& host);

    // Carries out one request line. Thread-safe as far as the host and its boards are.
    std::vector<std::string> execute(std::string_view line);

    // One line of "list" for a board.
    static std::string describe(const CameraBoard& board);

private:
    using Reply = std::vector<std::string>;

    Reply list();
    Reply plug(const ControlRequest& request, bool in);
    Reply press(const ControlRequest& request, bool held);
    Reply fault(const ControlRequest& request);

    // The board the request's path names (the first board without one); null with the error
    // reply filled in.
    std::shared_ptr<CameraBoard> target(const ControlRequest& request, Reply& error);

    SimHost& m_host;
};

}  // namespace boardsim
