// The control channel's server on its socket, reached through its client.
#include "control/ControlServer.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "control/ControlClient.h"
#include "host/SimHost.h"

using boardsim::ControlClient;
using boardsim::ControlServer;
using boardsim::SimHost;
using Lines = std::vector<std::string>;

TEST(ControlServer, ServesRequestsThroughTheSocketAndCleansUp) {
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

TEST(ControlServer, ReplacesAStaleSocketButNothingElse) {
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
