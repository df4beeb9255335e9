#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "BoardCommandsFixture.h"
#include "LogEnvironment.h"
#include "ScopedEnv.h"

using testing::HasSubstr;
using testing::IsEmpty;

namespace {

class LogOptions : public BoardCommands {
protected:
    // The command's outcome, and what reached standard error past its error stream: the
    // library's echo.
    std::pair<Outcome, std::string> runEchoed(std::vector<std::string> args) {
        testing::internal::CaptureStderr();
        Outcome outcome = run(std::move(args));
        return {outcome, testing::internal::GetCapturedStderr()};
    }

    // Names of the library's log files in a folder.
    static std::vector<std::string> logFilesIn(const std::string& folder) {
        std::vector<std::string> names;
        std::error_code missing;
        for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("kxCx", 0) == 0) {
                names.push_back(name);
            }
        }
        return names;
    }
};

}  // namespace

TEST_F(LogOptions, ListIsQuietAndLogsToTheStateFolder) {
    plug("RT4207");
    const auto [result, echoed] = runEchoed({"list"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(result.out, HasSubstr("RT4207-x6B6B_00 "));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(echoed, "");
    EXPECT_THAT(logFilesIn(dir.path()), IsEmpty());
    ASSERT_THAT(logFilesIn(logs.path()), testing::ElementsAre(testing::StartsWith("kxCxLog")));
    EXPECT_THAT(dir.read("state/kxcx/" + logFilesIn(logs.path()).front()),
                HasSubstr("Core session started on "));
}

TEST_F(LogOptions, VerboseEchoesTheLogBeforeOrAfterTheCommand) {
    plug("RT4207");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-v", "list"}, std::vector<std::string>{"list", "--verbose"}}) {
        SCOPED_TRACE(args.front());
        const auto [result, echoed] = runEchoed(args);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_THAT(result.out, HasSubstr("RT4207-x6B6B_00 "));
        EXPECT_THAT(echoed, testing::ContainsRegex("LOG\\([^)]*\\):-------->>\n"));
        EXPECT_THAT(echoed, HasSubstr("):Debug logging disabled\n"));
    }
    EXPECT_THAT(logFilesIn(dir.path()), IsEmpty());
}

TEST_F(LogOptions, ModuleRecordsGoToTheStateFolderAndOnlyVerboseShowsThem) {
    plug("RT4207,timeouts=on");
    const auto [quiet, quietEcho] = runEchoed({"reg", "read", "0x3C", "0x00"});
    EXPECT_EQ(quiet.code, 1);
    EXPECT_EQ(quiet.err, "kxcxctl reg: reading the register failed\n");
    EXPECT_EQ(quietEcho, "");
    EXPECT_THAT(dir.read("state/kxcx/kxCxModLog.txt"), HasSubstr("ioctlCamDevice 0000006e\n"));
    const auto [verbose, verboseEcho] = runEchoed({"reg", "read", "0x3C", "0x00", "-v"});
    EXPECT_EQ(verbose.code, 1);
    EXPECT_THAT(verboseEcho, HasSubstr("ioctlCamDevice 0000006e\n"));
    EXPECT_THAT(logFilesIn(dir.path()), IsEmpty());
}

TEST_F(LogOptions, TheUsersLogFolderWins) {
    plug("RT4207");
    const std::string mine = dir.path() + "/mine";
    ScopedEnv folder("KXCX_LOG_DIR", mine.c_str());
    EXPECT_EQ(run({"list"}).code, 0);
    EXPECT_THAT(logFilesIn(mine), testing::SizeIs(1));
    EXPECT_FALSE(std::filesystem::exists(logs.path()));
}

TEST(LogEnvironment, DefaultFolderFollowsTheStateHome) {
    ScopedEnv home("HOME", "/home/ann");
    {
        ScopedEnv state("XDG_STATE_HOME", "/var/state");
        EXPECT_EQ(LogEnvironment::defaultFolder(), "/var/state/kxcx");
    }
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/state"}) {
        ScopedEnv state("XDG_STATE_HOME", ignored);
        EXPECT_EQ(LogEnvironment::defaultFolder(), "/home/ann/.local/state/kxcx");
    }
    ScopedEnv state("XDG_STATE_HOME", nullptr);
    ScopedEnv noHome("HOME", nullptr);
    EXPECT_EQ(LogEnvironment::defaultFolder(), "");
}
