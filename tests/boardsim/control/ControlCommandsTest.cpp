// The control channel's commands, run on a host's simulated boards.
#include "control/ControlCommands.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PlugBoards.h"
#include "control/ControlProtocol.h"
#include "host/SimHost.h"

using boardsim::CameraBoard;
using boardsim::ControlProtocol;
using boardsim::SimHost;
using Lines = std::vector<std::string>;

namespace {

class ControlCommands : public testing::Test {
protected:
    void configure(const char* boards) { plugBoards(host, boards); }
    std::shared_ptr<CameraBoard> board(const char* path) { return host.board(path); }

    SimHost host;
    boardsim::ControlCommands commands{host};
};

}  // namespace

TEST_F(ControlCommands, ListDescribesEveryBoard) {
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

TEST_F(ControlCommands, UnplugAndPlugTellTheHostsListeners) {
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

TEST_F(ControlCommands, PressAndReleaseButtonsByNameOrNumber) {
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

TEST_F(ControlCommands, FaultsSwitchOnAndOff) {
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

TEST_F(ControlCommands, MalformedFaultsAreRefusedWithTheirUsage) {
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

TEST_F(ControlCommands, HelpUnknownAndEmptyRequests) {
    configure("none");
    const Lines help = commands.execute("help");
    EXPECT_EQ(help.back(), "ok");
    EXPECT_EQ(help.size(), ControlProtocol::commandSummary().size() + 1);
    EXPECT_EQ(commands.execute("reboot"), (Lines{"error: unknown command 'reboot' (try help)"}));
    EXPECT_EQ(commands.execute("  "), (Lines{"error: empty request (try help)"}));
    EXPECT_EQ(commands.execute("list"), (Lines{"no simulated board", "ok"}));
    EXPECT_EQ(commands.execute("press photo"), (Lines{"error: no simulated board"}));
}
