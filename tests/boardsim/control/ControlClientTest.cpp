// The control channel's client against a server that never answers.
#include "control/ControlClient.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "TempDir.h"

using boardsim::ControlClient;
using Lines = std::vector<std::string>;

TEST(ControlClient, GivesUpWhenTheReplyDoesNotEnd) {
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
