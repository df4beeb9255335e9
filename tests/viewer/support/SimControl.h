// The simulated boards' control channel from a test: the words of one request ("unplug", "plug",
// "press photo", ...) sent to the server of this process's boards, as kxcxctl sim sends them.
// The socket is the test's own: set it (KXCX_SIM_SOCKET) before the library first looks for
// boards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/ControlClient.h"
#include "control/ControlProtocol.h"

namespace hvtest {

class SimControl {
public:
    // The reply's last line ("ok" or "error: ...").
    static std::string send(const std::vector<std::string>& words) {
        std::string line;
        std::string error;
        if (!boardsim::ControlProtocol::formatRequest(words, line, error)) {
            ADD_FAILURE() << error;
            return error;
        }
        std::vector<std::string> reply;
        const int result =
            boardsim::ControlClient::exchange(boardsim::ControlProtocol::socketPath(), line, reply);
        EXPECT_EQ(result, 0) << "no control server";
        return reply.empty() ? std::string() : reply.back();
    }
};

}  // namespace hvtest
