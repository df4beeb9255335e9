#include "host/SimHost.h"

#include <gtest/gtest.h>

using boardsim::SimHost;

namespace {

std::vector<std::string> presentPaths(const SimHost& host) {
    std::vector<std::string> paths;
    for (const auto& board : host.presentBoards()) {
        paths.push_back(board->path());
    }
    return paths;
}

}  // namespace

TEST(SimHost, BoardsAreNumberedPerModelAndArriveInOrder) {
    SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("MV3318;RT4207;MV3318", error));
    EXPECT_EQ(presentPaths(host),
              (std::vector<std::string>{"sim:MV3318-x7654:0", "sim:RT4207-x6B6B:0",
                                        "sim:MV3318-x7654:1"}));
}

TEST(SimHost, UnplugAndPlugMoveABoardToTheEnd) {
    SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("RT4207*3", error));
    auto first = host.board("sim:RT4207-x6B6B:0");
    ASSERT_TRUE(host.unplug("sim:RT4207-x6B6B:0"));
    EXPECT_FALSE(first->plugged());
    EXPECT_TRUE(host.unplug("sim:RT4207-x6B6B:0"));  // already out: still a known board
    EXPECT_FALSE(host.unplug("sim:RT4207-x6B6B:9"));
    ASSERT_TRUE(host.plug("sim:RT4207-x6B6B:0"));
    EXPECT_TRUE(first->plugged());
    EXPECT_EQ(presentPaths(host).back(), "sim:RT4207-x6B6B:0");
    EXPECT_EQ(host.boards().size(), 3u);
}

TEST(SimHost, UnreadableDescriptionKeepsTheBoards) {
    SimHost host;
    std::string error;
    ASSERT_TRUE(host.configure("RT4207", error));
    EXPECT_FALSE(host.configure("RT4207,fps=-1", error));
    EXPECT_EQ(error, "bad value for fps: '-1'");
    EXPECT_EQ(host.boards().size(), 1u);
}
