// The control channel's request lines and the path of its socket.
#include "control/ControlProtocol.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "ScopedEnv.h"

using boardsim::ControlProtocol;
using Lines = std::vector<std::string>;

TEST(ControlProtocol, RequestsAreOneLineOfPlainWords) {
    std::string line;
    std::string error;
    ASSERT_TRUE(ControlProtocol::formatRequest({"press", "photo"}, line, error));
    EXPECT_EQ(line, "press photo\n");
    EXPECT_EQ(ControlProtocol::splitRequest(" press\tphoto \r\n"), (Lines{"press", "photo"}));
    EXPECT_FALSE(ControlProtocol::formatRequest({}, line, error));
    EXPECT_EQ(error, "no command");
    EXPECT_FALSE(ControlProtocol::formatRequest({"press", ""}, line, error));
    EXPECT_EQ(error, "an argument is empty");
    EXPECT_FALSE(ControlProtocol::formatRequest({"unplug", "a\nlist"}, line, error));
    EXPECT_EQ(error, "argument 'a\nlist' holds white space");
    EXPECT_FALSE(ControlProtocol::formatRequest({std::string(1025, 'x')}, line, error));
    EXPECT_EQ(error, "the request is longer than 1024 characters");
    EXPECT_TRUE(ControlProtocol::isFinal("ok"));
    EXPECT_TRUE(ControlProtocol::isFinal("error: no"));
    EXPECT_FALSE(ControlProtocol::isFinal("okay"));
    EXPECT_FALSE(ControlProtocol::isFinal("error"));
}

TEST(ControlProtocol, SocketPathComesFromTheEnvironment) {
    const std::string fallback = "/tmp/kxcx-sim-" + std::to_string(getuid()) + ".sock";
    {
        ScopedEnv env("KXCX_SIM_SOCKET", nullptr);
        EXPECT_EQ(ControlProtocol::socketPath(), fallback);
    }
    {
        ScopedEnv env("KXCX_SIM_SOCKET", "");
        EXPECT_EQ(ControlProtocol::socketPath(), fallback);
    }
    {
        ScopedEnv env("KXCX_SIM_SOCKET", "/run/user/sim.sock");
        EXPECT_EQ(ControlProtocol::socketPath(), "/run/user/sim.sock");
    }
    {
        ScopedEnv env("KXCX_SIM_SOCKET", "none");
        EXPECT_EQ(ControlProtocol::socketPath(), "");
    }
}
