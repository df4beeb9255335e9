#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "PlugBoards.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "control/ControlClient.h"
#include "control/ControlCommands.h"
#include "control/ControlProtocol.h"
#include "control/ControlServer.h"
#include "host/SimHost.h"

using boardsim::CameraBoard;
using boardsim::ControlClient;
using boardsim::ControlCommands;
using boardsim::ControlProtocol;
using boardsim::ControlServer;
using boardsim::SimHost;
using Lines = std::vector<std::string>;

namespace {

class SimControlCommands : public testing::Test {
protected:
    void configure(const char* boards) { plugBoards(host, boards); }
    std::shared_ptr<CameraBoard> board(const char* path) { return host.board(path); }

    SimHost host;
    ControlCommands commands{host};
};

}  // namespace

TEST_F(SimControlCommands, ListDescribesEveryBoard) {
    configure("RT4207; MV3318, led=pca9530, fpga=1.20, mcu=1.05, nack=48+62, timeouts=3");
    board("sim:RT4207-x6B6B:0")->pressButton(3);
    board("sim:RT4207-x6B6B:0")->pressButton(0);
    host.unplug("sim:MV3318-x7654:0");
    EXPECT_EQ(commands.execute("list"),
              (Lines{"sim:RT4207-x6B6B:0 model=RT4207-x6B6B plugged fpga=1.30 mcu=1.07 "
                     "led=pca9633 buttons=light-up,photo faults=none",
                     "sim:MV3318-x7654:0 model=MV3318-x7654 unplugged fpga=1.20 mcu=1.05 "
                     "led=pca9530 buttons=none faults=timeout:3,nack:0x48,nack:0x62",
                     "ok"}));
    board("sim:MV3318-x7654:0")->setControlTimeouts(CameraBoard::kUntilCleared);
    board("sim:MV3318-x7654:0")->setBulkInStalled(true);
    EXPECT_EQ(commands.execute("list")[1],
              "sim:MV3318-x7654:0 model=MV3318-x7654 unplugged fpga=1.20 mcu=1.05 led=pca9530 "
              "buttons=none faults=timeout,nack:0x48,nack:0x62,stall");
    EXPECT_EQ(commands.execute("list extra"), (Lines{"error: usage: list"}));
}

TEST_F(SimControlCommands, UnplugAndPlugTellTheHostsListeners) {
    configure("RT4207*2");
    std::vector<std::pair<std::string, bool>> events;
    host.addListener(
        [&](const std::string& path, bool arrived) { events.emplace_back(path, arrived); });
    EXPECT_EQ(commands.execute("unplug sim:RT4207-x6B6B:1"),
              (Lines{"sim:RT4207-x6B6B:1 unplugged", "ok"}));
    EXPECT_FALSE(board("sim:RT4207-x6B6B:1")->plugged());
    EXPECT_EQ(commands.execute("unplug sim:RT4207-x6B6B:1"),
              (Lines{"sim:RT4207-x6B6B:1 was not plugged in", "ok"}));
    EXPECT_EQ(commands.execute("plug  sim:RT4207-x6B6B:1 \r"),
              (Lines{"sim:RT4207-x6B6B:1 plugged in", "ok"}));
    EXPECT_EQ(commands.execute("plug sim:RT4207-x6B6B:1"),
              (Lines{"sim:RT4207-x6B6B:1 was plugged in already", "ok"}));
    EXPECT_EQ(events, (std::vector<std::pair<std::string, bool>>{{"sim:RT4207-x6B6B:1", false},
                                                                 {"sim:RT4207-x6B6B:1", true}}));
    EXPECT_EQ(commands.execute("unplug"), (Lines{"error: usage: unplug PATH"}));
    EXPECT_EQ(commands.execute("plug sim:RT4207-x6B6B:7"),
              (Lines{"error: no board 'sim:RT4207-x6B6B:7' (list shows the boards)"}));
}

TEST_F(SimControlCommands, PressAndReleaseButtonsByNameOrNumber) {
    configure("RT4207*2");
    EXPECT_EQ(commands.execute("press photo"), (Lines{"sim:RT4207-x6B6B:0: photo held", "ok"}));
    EXPECT_EQ(commands.execute("press 1 sim:RT4207-x6B6B:1"),
              (Lines{"sim:RT4207-x6B6B:1: light-down held", "ok"}));
    EXPECT_EQ(board("sim:RT4207-x6B6B:0")->fpgaRegister(0x04), 0x07);
    EXPECT_EQ(board("sim:RT4207-x6B6B:1")->fpgaRegister(0x04), 0x0D);
    EXPECT_EQ(commands.execute("release 3"), (Lines{"sim:RT4207-x6B6B:0: photo released", "ok"}));
    EXPECT_EQ(board("sim:RT4207-x6B6B:0")->buttonsHeld(), 0);
    EXPECT_EQ(
        commands.execute("press flash"),
        (Lines{"error: unknown button 'flash' (light-up, light-down, record, photo or 0-3)"}));
    EXPECT_EQ(commands.execute("press"), (Lines{"error: usage: press BUTTON [PATH]"}));
    EXPECT_EQ(commands.execute("release 0 a b"), (Lines{"error: usage: release BUTTON [PATH]"}));
}

TEST_F(SimControlCommands, FaultsSwitchOnAndOff) {
    configure("RT4207");
    const auto target = board("sim:RT4207-x6B6B:0");
    EXPECT_EQ(commands.execute("fault timeout on"),
              (Lines{"sim:RT4207-x6B6B:0: control transfers time out until cleared", "ok"}));
    EXPECT_EQ(target->controlTimeouts(), CameraBoard::kUntilCleared);
    EXPECT_EQ(commands.execute("fault timeout 5 sim:RT4207-x6B6B:0"),
              (Lines{"sim:RT4207-x6B6B:0: the next 5 control transfers time out", "ok"}));
    EXPECT_EQ(target->controlTimeouts(), 5);
    EXPECT_EQ(commands.execute("fault timeout off"),
              (Lines{"sim:RT4207-x6B6B:0: control transfers answer again", "ok"}));
    EXPECT_EQ(target->controlTimeouts(), 0);
    EXPECT_EQ(commands.execute("fault nack 0x62 on"),
              (Lines{"sim:RT4207-x6B6B:0: I2C address 0x62 does not answer", "ok"}));
    EXPECT_TRUE(target->i2cNack(0x62));
    EXPECT_EQ(commands.execute("fault nack 62 off"),
              (Lines{"sim:RT4207-x6B6B:0: I2C address 0x62 answers", "ok"}));
    EXPECT_FALSE(target->i2cNack(0x62));
    EXPECT_EQ(commands.execute("fault stall on"),
              (Lines{"sim:RT4207-x6B6B:0: bulk IN stalled", "ok"}));
    EXPECT_TRUE(target->bulkInStalled());
    EXPECT_EQ(commands.execute("fault stall off"),
              (Lines{"sim:RT4207-x6B6B:0: bulk IN halt cleared", "ok"}));
    EXPECT_FALSE(target->bulkInStalled());
}

TEST_F(SimControlCommands, MalformedFaultsAreRefusedWithTheirUsage) {
    configure("RT4207");
    const char* const refused[][2] = {
        {"fault",
         "error: usage: fault timeout|nack|stall|busy|notready|jtagstall|memory ... (try help)"},
        {"fault power on",
         "error: usage: fault timeout|nack|stall|busy|notready|jtagstall|memory ... (try help)"},
        {"fault jtagstall", "error: usage: fault jtagstall on|off [PATH]"},
        {"fault timeout", "error: usage: fault timeout on|off|N [PATH]"},
        {"fault timeout 0", "error: usage: fault timeout on|off|N [PATH] (N a count from 1)"},
        {"fault timeout -1", "error: usage: fault timeout on|off|N [PATH] (N a count from 1)"},
        {"fault timeout 3x", "error: usage: fault timeout on|off|N [PATH] (N a count from 1)"},
        {"fault nack 80 on", "error: bad I2C address '80' (hexadecimal, 0 to 7f)"},
        {"fault nack 0x on", "error: bad I2C address '0x' (hexadecimal, 0 to 7f)"},
        {"fault nack 62 maybe", "error: usage: fault nack ADDRESS on|off [PATH]"},
        {"fault nack 62", "error: usage: fault nack ADDRESS on|off [PATH]"},
        {"fault stall", "error: usage: fault stall on|off [PATH]"},
        {"fault stall on sim:x extra", "error: usage: fault stall on|off [PATH]"},
        {"fault stall on sim:x", "error: no board 'sim:x' (list shows the boards)"},
    };
    for (const auto& [request, reply] : refused) {
        EXPECT_EQ(commands.execute(request), (Lines{reply})) << request;
    }
    const auto target = board("sim:RT4207-x6B6B:0");
    EXPECT_EQ(target->controlTimeouts(), 0);
    EXPECT_FALSE(target->bulkInStalled());
}

TEST_F(SimControlCommands, HelpUnknownAndEmptyRequests) {
    configure("none");
    const Lines help = commands.execute("help");
    EXPECT_EQ(help.back(), "ok");
    EXPECT_EQ(help.size(), ControlProtocol::commandSummary().size() + 1);
    EXPECT_EQ(commands.execute("reboot"), (Lines{"error: unknown command 'reboot' (try help)"}));
    EXPECT_EQ(commands.execute("  "), (Lines{"error: empty request (try help)"}));
    EXPECT_EQ(commands.execute("list"), (Lines{"no simulated board", "ok"}));
    EXPECT_EQ(commands.execute("press photo"), (Lines{"error: no simulated board"}));
}

TEST(SimControlProtocol, RequestsAreOneLineOfPlainWords) {
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

TEST(SimControlProtocol, SocketPathComesFromTheEnvironment) {
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

TEST(SimControlServer, ServesRequestsThroughTheSocketAndCleansUp) {
    TempDir dir;
    const std::string path = dir.path() + "/ctl.sock";
    SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("RT4207", error));
    Lines reply;
    EXPECT_EQ(ControlClient::exchange(path, "list\n", reply), -ENOENT);
    {
        ControlServer server(host, path);
        ASSERT_EQ(server.start(), 0);
        EXPECT_EQ(server.start(), -EALREADY);
        EXPECT_TRUE(std::filesystem::is_socket(path));
        EXPECT_EQ(ControlClient::exchange(path, "press record\n", reply), 0);
        EXPECT_EQ(reply, (Lines{"sim:RT4207-x6B6B:0: record held", "ok"}));
        EXPECT_EQ(host.presentBoards().front()->buttonsHeld(), 0x04);
        EXPECT_EQ(ControlClient::exchange(path, "fault stall on\nfault stall off\n", reply), 0);
        EXPECT_EQ(reply, (Lines{"sim:RT4207-x6B6B:0: bulk IN stalled", "ok"}));
        EXPECT_EQ(ControlClient::exchange(path, "frobnicate\n", reply), 0);
        EXPECT_EQ(reply, (Lines{"error: unknown command 'frobnicate' (try help)"}));
        // A second server finds the path taken.
        ControlServer second(host, path);
        EXPECT_EQ(second.start(), -EADDRINUSE);
        EXPECT_FALSE(second.serving());
        // A request without its line feed is served when the client stops sending.
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(write(fd, "release record", 14), 14);
        shutdown(fd, SHUT_WR);
        std::string text;
        char buffer[256];
        ssize_t count;
        while ((count = read(fd, buffer, sizeof(buffer))) > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
        }
        close(fd);
        EXPECT_EQ(text, "sim:RT4207-x6B6B:0: record released\nok\n");
        // An endless line is refused and the connection closed.
        EXPECT_EQ(ControlClient::exchange(path, std::string(3000, 'x'), reply), 0);
        EXPECT_EQ(reply, (Lines{"error: request line too long"}));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ControlClient::exchange(path, "list\n", reply), -ENOENT);
}

TEST(SimControlServer, ReplacesAStaleSocketButNothingElse) {
    TempDir dir;
    const std::string path = dir.path() + "/ctl.sock";
    SimHost host;
    // A socket file whose server is gone.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
    Lines reply;
    EXPECT_EQ(ControlClient::exchange(path, "list\n", reply), -ECONNREFUSED);
    {
        ControlServer server(host, path);
        ASSERT_EQ(server.start(), 0);
        EXPECT_EQ(ControlClient::exchange(path, "list\n", reply), 0);
        EXPECT_EQ(reply, (Lines{"no simulated board", "ok"}));
        // Another server took the path over meanwhile: stopping leaves its socket alone.
        std::filesystem::remove(path);
        ControlServer successor(host, path);
        ASSERT_EQ(successor.start(), 0);
        server.stop();
        EXPECT_TRUE(std::filesystem::is_socket(path));
    }
    {
        std::ofstream(path) << "not a socket";
        ControlServer server(host, path);
        EXPECT_EQ(server.start(), -EEXIST);
        EXPECT_EQ(dir.read("ctl.sock"), "not a socket");
    }
    ControlServer tooLong(host, dir.path() + "/" + std::string(120, 's'));
    EXPECT_EQ(tooLong.start(), -ENAMETOOLONG);
    EXPECT_EQ(ControlClient::exchange(std::string(120, 's'), "list\n", reply), -ENAMETOOLONG);
}

TEST(SimControlServer, ClientGivesUpWhenTheReplyDoesNotEnd) {
    TempDir dir;
    const std::string path = dir.path() + "/mute.sock";
    // A listener that never answers.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(fd, 1), 0);
    Lines reply;
    EXPECT_EQ(ControlClient::exchange(path, "list\n", reply, std::chrono::milliseconds(50)),
              -ETIMEDOUT);
    close(fd);
}
