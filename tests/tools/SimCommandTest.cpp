#include "SimCommand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "CommandLine.h"
#include "CommandOutcome.h"
#include "PlugBoards.h"
#include "TempDir.h"
#include "ToolLogFolder.h"
#include "control/ControlProtocol.h"
#include "control/ControlServer.h"
#include "host/SimHost.h"

namespace {

Outcome sim(const std::vector<std::string>& args) {
    return runCommand(&SimCommand::run, args);
}

// A program with simulated boards serving its control channel in a test folder, and
// KXCX_SIM_SOCKET pointing there while the test runs.
class SimCommandTest : public testing::Test {
protected:
    SimCommandTest() : path(dir.path() + "/ctl.sock"), server(host, path) {}

    void serve(const char* boards) {
        plugBoards(host, boards);
        ASSERT_EQ(server.start(), 0);
    }

    TempDir dir;
    ToolLogFolder logs{dir.path() + "/state"};
    std::string path;
    ScopedEnv socket{"KXCX_SIM_SOCKET", path.c_str()};
    boardsim::SimHost host;
    boardsim::ControlServer server;
};

}  // namespace

TEST_F(SimCommandTest, HelpListsTheCommandsWithoutAServer) {
    const Outcome result = sim({"help"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("usage: kxcxctl sim COMMAND\n"), std::string::npos);
    for (const std::string& line : boardsim::ControlProtocol::commandSummary()) {
        EXPECT_NE(result.out.find("  " + line + "\n"), std::string::npos) << line;
    }
    const Outcome bare = sim({});
    EXPECT_EQ(bare.code, 2);
    EXPECT_EQ(bare.out, "");
    EXPECT_NE(bare.err.find("usage: kxcxctl sim COMMAND"), std::string::npos);
}

TEST_F(SimCommandTest, RequestsAreCarriedOutAndTheirLinesPrinted) {
    serve("RT4207;MV3329,led=pca9530");
    Outcome result = sim({"press", "light-up"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "sim:RT4207-x6B6B:0: light-up held\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(host.board("sim:RT4207-x6B6B:0")->buttonsHeld(), 0x01);
    result = sim({"unplug", "sim:MV3329-x5542:0"});
    EXPECT_EQ(result.code, 0);
    EXPECT_FALSE(host.board("sim:MV3329-x5542:0")->plugged());
    result = sim({"list"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out,
              "sim:RT4207-x6B6B:0 model=RT4207-x6B6B plugged fpga=1.30 mcu=1.07 led=pca9633 "
              "buttons=light-up faults=none\n"
              "sim:MV3329-x5542:0 model=MV3329-x5542 unplugged fpga=1.30 mcu=1.07 led=pca9530 "
              "buttons=none faults=none\n");
    // Through the tool's command line as a person types it.
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(CommandLine::run({"sim", "fault", "nack", "0x3c", "on"}, out, err), 0);
    EXPECT_EQ(out.str(), "sim:RT4207-x6B6B:0: I2C address 0x3c does not answer\n");
    EXPECT_TRUE(host.board("sim:RT4207-x6B6B:0")->i2cNack(0x3C));
}

TEST_F(SimCommandTest, RequestsTheServerWouldNotUnderstandAreUsageErrorsWithoutAServer) {
    Outcome result = sim({"press", "flash"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "kxcxctl sim: unknown button 'flash' (light-up, light-down, record, photo or 0-3)\n");
    result = sim({"fault", "stall"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "kxcxctl sim: usage: fault stall on|off [PATH]\n");
    result = sim({"reboot"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "kxcxctl sim: unknown command 'reboot' (try help)\n");
}

TEST_F(SimCommandTest, RefusedRequestsFailWithTheServersReason) {
    serve("RT4207");
    Outcome result = sim({"plug", "sim:RT4207-x6B6B:5"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "kxcxctl sim: no board 'sim:RT4207-x6B6B:5' (list shows the boards)\n");
    result = sim({"unplug", "two words"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "kxcxctl sim: argument 'two words' holds white space\n");
}

TEST_F(SimCommandTest, WithoutARunningProgramTheToolSaysSo) {
    const Outcome result = sim({"list"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "kxcxctl sim: no simulated board is running (no server at " + path + ")\n");
    setenv("KXCX_SIM_SOCKET", "none", 1);
    const Outcome off = sim({"list"});
    EXPECT_EQ(off.code, 1);
    EXPECT_EQ(off.err, "kxcxctl sim: the control channel is switched off (KXCX_SIM_SOCKET=none)\n");
    setenv("KXCX_SIM_SOCKET", (dir.path() + "/" + std::string(120, 'x')).c_str(), 1);
    const Outcome tooLong = sim({"list"});
    EXPECT_EQ(tooLong.code, 1);
    EXPECT_EQ(tooLong.err.rfind("kxcxctl sim: cannot reach the server at ", 0), 0u);
    EXPECT_NE(tooLong.err.find("File name too long"), std::string::npos);
}
