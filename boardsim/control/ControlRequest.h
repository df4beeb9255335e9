// One request of the control channel read from its words: the command and its arguments, or
// the reason the words are no request. Both ends read requests this way, so "kxcxctl sim" turns
// down a request the server would not understand before it connects.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace boardsim {

class ControlRequest {
public:
    enum class Command {
        Help,
        List,
        Plug,
        Unplug,
        Press,
        Release,
        FaultTimeout,
        FaultNack,
        FaultStall,
        FaultBusy,
        FaultNotReady,
        FaultJtagStall,
        FaultMemory,
    };

    // Reads the words of a request. False with the reason ("usage: plug PATH", "unknown command
    // 'x' (try help)", "unknown button ...", "bad I2C address ...") when they are no request.
    static bool parse(const std::vector<std::string>& words, ControlRequest& request,
                      std::string& error);

    Command command = Command::Help;
    // The board named; the first board when none is.
    std::optional<std::string> path;
    int button = 0;    // Press, Release: HandleButton's number
    int address = 0;   // FaultNack: the 7-bit I2C address
    bool on = false;   // the switch of FaultNack, FaultStall, FaultBusy, FaultNotReady, ...
    int timeouts = 0;  // FaultTimeout: CameraBoard::kUntilCleared, 0 for off, or a count

private:
    static bool parseFault(const std::vector<std::string>& words, ControlRequest& request,
                           std::string& error);
};

}  // namespace boardsim
