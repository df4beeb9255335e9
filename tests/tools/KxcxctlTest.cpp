#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "BoardCommandsFixture.h"
#include "CommandLine.h"
#include "CommandTable.h"
#include "ListCommand.h"
#include "ScopedEnv.h"

using testing::HasSubstr;

namespace {

class Kxcxctl : public BoardCommands {};

}  // namespace

TEST_F(Kxcxctl, ListShowsNameModelAndDeviceClass) {
    plug("MV3329;RT4207");
    const Outcome result = run({"list"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(result.out, testing::MatchesRegex("NAME +MODEL +VARIANT\n"
                                                  "MV3329-x5542_00 +MV3329-x5542 +mvCamDevice\n"
                                                  "RT4207-x6B6B_00 +RT4207-x6B6B +rtCamDevice\n"));
}

TEST_F(Kxcxctl, ListWithoutBoardsSaysSo) {
    plug("none");
    const Outcome result = run({"list"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "no camera board found\n");
}

TEST_F(Kxcxctl, UsageAndErrorsAreOneLineWithNonZeroExit) {
    const Outcome unknown = run({"frobnicate"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, "kxcxctl: unknown command 'frobnicate' (try kxcxctl --help)\n");
    const Outcome extra = run({"list", "now"});
    EXPECT_EQ(extra.code, 2);
    EXPECT_EQ(extra.err, "kxcxctl list: takes no arguments\n");
    EXPECT_EQ(run({}).code, 2);
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_THAT(help.out, HasSubstr("KXCX_BACKEND=sim"));
    EXPECT_THAT(help.out, HasSubstr("-v, --verbose"));
    EXPECT_THAT(help.out, HasSubstr("KXCX_LOG_DIR"));
    EXPECT_THAT(help.out, HasSubstr("send a gamma table to slot N (0-15)"));
}

TEST_F(Kxcxctl, HelpListsEveryCommandsLinesInTableOrderAfterTheToolsOptions) {
    const Outcome help = run({"--help"});
    ASSERT_EQ(help.code, 0);
    size_t position = help.out.find("  --version   the camera library's version and label\n");
    ASSERT_NE(position, std::string::npos);
    for (const CommandEntry& entry : CommandTable::commands().entries()) {
        for (std::string_view line : entry.usage) {
            const size_t found = help.out.find("\n  " + std::string(line) + "\n", position);
            ASSERT_NE(found, std::string::npos) << line;
            EXPECT_GT(found, position) << line;
            position = found + 1;
        }
    }
    // The last command's line, then a blank line and the notes.
    EXPECT_EQ(help.out.find("\n\nLoaders draw a progress bar", position),
              help.out.find('\n', position));
}

TEST_F(Kxcxctl, UsageErrorsExitWithTwoEverywhere) {
    plug("");
    // No request reaches a program's control channel from here.
    const ScopedEnv socket("KXCX_SIM_SOCKET", (dir.path() + "/ctl.sock").c_str());
    const std::vector<std::vector<std::string>> wrong = {
        {"--frobnicate"},
        {"list", "--all"},
        {"versions", "--fast"},
        {"versions", "--device"},
        {"reg", "read", "0x3C", "1", "--repeat"},
        {"reg", "read", "0x3C", "1", "--fast"},
        {"regfile", "regs.txt", "--regfile"},
        {"ioctl", "in", "0xB0", "0", "0", "2", "--fast"},
        {"stream", "1", "--fast"},
        {"fpga", "init", "--fast"},
        {"flash", "erase", "--fast"},
        {"mcu", "load", "--fast"},
        {"eeprom", "write", "--fast"},
        {"gamma", "upload", "0", "--type"},
        {"gamma", "download", "0", "--out"},
        {"gamma", "upload", "0", "--fast"},
        {"gamma", "upload", "16"},
        {"sim", "reboot"},
        {"sim", "list", "all"},
        {"sim", "unplug"},
        {"sim", "press"},
        {"sim", "press", "flash"},
        {"sim", "fault"},
        {"sim", "fault", "nack", "62"},
        {"sim", "fault", "timeout", "0"},
    };
    for (const auto& args : wrong) {
        std::string line;
        for (const std::string& word : args) {
            line += word + " ";
        }
        SCOPED_TRACE(line);
        const Outcome result = run(args);
        EXPECT_EQ(result.code, 2) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(Kxcxctl, SimulatedBoardsThatAreNotUnderstoodFailTheCommands) {
    const ScopedEnv backend("KXCX_BACKEND", "sim");
    const ScopedEnv boards("KXCX_SIM", "RT4207,fps=x");
    const Outcome listed = run({"list"});
    EXPECT_EQ(listed.code, 1);
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(listed.err, "kxcxctl list: KXCX_SIM: bad value for fps: 'x'\n");
    const Outcome versions = run({"versions"});
    EXPECT_EQ(versions.code, 1);
    EXPECT_EQ(versions.err, "kxcxctl versions: KXCX_SIM: bad value for fps: 'x'\n");
}

TEST(ListCommand, VariantFollowsTheModelLabel) {
    EXPECT_EQ(ListCommand::variantOf("RT4207-x6B6B_100"), "rtCamDevice");
    EXPECT_EQ(ListCommand::variantOf("MV3318-x7654_00"), "mvCamDevice");
    EXPECT_EQ(ListCommand::variantOf("OV0000-x0000_00"), "");
    EXPECT_EQ(ListCommand::modelOf("MV3329-x5542_01"), "MV3329-x5542");
}
