// The commands of the control channel, carried out on a host's boards. Each request gives its
// reply lines, the last "ok" or "error: <reason>" (ControlProtocol has the commands).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    using Words = std::vector<std::string>;
    using Reply = std::vector<std::string>;

    Reply list(const Words& words);
    Reply plug(const Words& words, bool in);
    Reply press(const Words& words, bool held);
    Reply fault(const Words& words);
    Reply faultTimeout(const Words& words);
    Reply faultNack(const Words& words);
    Reply faultStall(const Words& words);
    // fault busy|notready|jtagstall on|off [PATH]
    Reply faultFpga(const Words& words);

    // The board the optional PATH at words[index] names (the first board without it); null with
    // the error reply filled in.
    std::shared_ptr<CameraBoard> target(const Words& words, std::size_t index, Reply& error);

    SimHost& m_host;
};

}  // namespace boardsim
