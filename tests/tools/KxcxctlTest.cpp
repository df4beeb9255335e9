#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "CommandLine.h"
#include "ListCommand.h"
#include "TempDir.h"
#include "ToolLogFolder.h"
#include "host/SimHost.h"
#include "kxUsbTransport.h"
#include "sim/kxSimBackend.h"

using testing::HasSubstr;

namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome run(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = CommandLine::run(args, out, err);
    return {code, out.str(), err.str()};
}

class Kxcxctl : public testing::Test {
protected:
    Kxcxctl() { kx::UsbTransport::replace(std::make_unique<kx::SimBackend>(&host)); }
    ~Kxcxctl() override { kx::UsbTransport::replace(nullptr); }

    void plug(const char* description) {
        std::string error;
        ASSERT_TRUE(host.configure(description, error)) << error;
    }

    TempDir dir;
    ToolLogFolder logs{dir.path() + "/state"};
    boardsim::SimHost host;
};

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
}

TEST(ListCommand, VariantFollowsTheModelLabel) {
    EXPECT_EQ(ListCommand::variantOf("RT4207-x6B6B_100"), "rtCamDevice");
    EXPECT_EQ(ListCommand::variantOf("MV3318-x7654_00"), "mvCamDevice");
    EXPECT_EQ(ListCommand::variantOf("OV0000-x0000_00"), "");
    EXPECT_EQ(ListCommand::modelOf("MV3329-x5542_01"), "MV3329-x5542");
}
