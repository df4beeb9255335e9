// Commands that stream from a board which is pulled out while they run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "BoardCommandsFixture.h"

using namespace std::chrono_literals;
using testing::HasSubstr;

namespace {

class RemovedBoard : public BoardCommands {
protected:
    // Runs the command on a thread of its own and pulls the board out once it has sent a few
    // frames; also tells how long the command ran after that.
    Outcome runUnplugging(const std::vector<std::string>& args, const std::string& path,
                          std::chrono::steady_clock::duration& afterUnplug) {
        auto running = std::async(std::launch::async, [&] { return run(args); });
        const auto board = host.board(path);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (board->framesProduced() < 10 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        // The second variant's stream settles for a second before the command counts.
        std::this_thread::sleep_for(1500ms);
        host.unplug(path);
        const auto unplugged = std::chrono::steady_clock::now();
        Outcome outcome = running.get();
        afterUnplug = std::chrono::steady_clock::now() - unplugged;
        return outcome;
    }
};

}  // namespace

TEST_F(RemovedBoard, StreamSaysTheBoardWasRemovedAndFails) {
    // The second variant sends its register file as it opens.
    std::ofstream("reg_init.txt") << ";(a) sensor controller system reset\n6A 3003 20\n";
    const std::pair<const char*, const char*> boards[] = {{"RT4207,fps=30", "sim:RT4207-x6B6B:0"},
                                                          {"MV3318,fps=30", "sim:MV3318-x7654:0"}};
    for (const auto& [description, path] : boards) {
        SCOPED_TRACE(description);
        plug(description);
        std::chrono::steady_clock::duration after{};
        const Outcome streamed = runUnplugging({"stream", "20"}, path, after);
        EXPECT_EQ(streamed.code, 1);
        EXPECT_EQ(streamed.err, "kxcxctl stream: the board was removed\n");
        EXPECT_THAT(streamed.out, HasSubstr("  1s "));
        EXPECT_LT(after, 3s);
    }
}

TEST_F(RemovedBoard, GrabSaysTheBoardWasRemovedAndKeepsTheFramesThatArrived) {
    plug("RT4207,fps=30");
    std::chrono::steady_clock::duration after{};
    const Outcome grabbed = runUnplugging({"grab", "100", "shots"}, "sim:RT4207-x6B6B:0", after);
    EXPECT_EQ(grabbed.code, 1);
    EXPECT_EQ(grabbed.out, "");
    EXPECT_THAT(grabbed.err, testing::MatchesRegex("kxcxctl grab: the board was removed: wrote "
                                                   "[1-9][0-9]* of 100 frames to shots\n"));
    const auto files = std::distance(std::filesystem::directory_iterator("shots"),
                                     std::filesystem::directory_iterator());
    EXPECT_THAT(grabbed.err, HasSubstr("wrote " + std::to_string(files) + " of"));
    EXPECT_LT(after, 2s);
}
