#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <kxCxApi.h>
#include "ScopedEnv.h"
#include "TempDir.h"
#include "kxDailyLogName.h"
#include "log/kxCxModLog.h"

using testing::HasSubstr;
using testing::IsEmpty;

namespace {

// One log session of the library under the environment a test sets up: load, a caller's line, a
// device's error record, unload (which writes out everything pending).
class LogSessionSettings : public testing::Test {
protected:
    LogSessionSettings() { unloadCxLib(); }
    ~LogSessionSettings() override {
        unloadCxLib();
        ModLog::setModLogFile(ModLog::kDefaultFile);
        ModLog::setConsoleEcho(true);
    }

    // What the session echoed to standard error.
    std::string runSession() {
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadCxLib(), 0);
        logMessage("caller line");
        ModLog device;
        device._outModLog_(ModLog::kError, "kxCamChannel.cpp", 7, "CamChannel::control", "%08lx",
                           0x6EUL);
        unloadCxLib();
        return testing::internal::GetCapturedStderr();
    }

    static std::string dailyLog(const std::string& folder) {
        return read(folder + "/" + DailyLogName::today());
    }
    static std::string moduleLog(const std::string& folder) {
        return read(folder + "/" + ModLog::kDefaultFile);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TempDir dir;
    ScopedEnv folder{"KXCX_LOG_DIR", nullptr};
    ScopedEnv echo{"KXCX_LOG_ECHO", nullptr};
};

}  // namespace

TEST_F(LogSessionSettings, ByDefaultBothLogsAreInTheCurrentFolderAndEchoed) {
    const std::string console = runSession();
    EXPECT_THAT(console, HasSubstr("):-------->>\n"));
    EXPECT_THAT(console, HasSubstr("):> caller line\n"));
    EXPECT_THAT(console, HasSubstr("CamChannel::control 0000006e\n"));
    EXPECT_THAT(dailyLog(dir.path()), HasSubstr("):> caller line\n"));
    EXPECT_THAT(moduleLog(dir.path()), HasSubstr("CamChannel::control 0000006e\n"));
}

TEST_F(LogSessionSettings, FolderSettingTakesBothLogsAndIsCreated) {
    const std::string logs = dir.path() + "/state/kxcx";
    setenv("KXCX_LOG_DIR", logs.c_str(), 1);
    runSession();
    EXPECT_THAT(dailyLog(logs), HasSubstr("Core session started on "));
    EXPECT_THAT(dailyLog(logs), HasSubstr("):> caller line\n"));
    EXPECT_THAT(moduleLog(logs), HasSubstr("[e] "));
    EXPECT_FALSE(std::filesystem::exists(DailyLogName::today()));
    EXPECT_FALSE(std::filesystem::exists(ModLog::kDefaultFile));
}

TEST_F(LogSessionSettings, FolderThatCannotBeMadeFallsBackToTheHomeFolder) {
    const std::string home = dir.path() + "/home";
    std::filesystem::create_directory(home);
    ScopedEnv homeFolder("HOME", home.c_str());
    // Nobody, not even root, can make a folder here.
    setenv("KXCX_LOG_DIR", "/proc/kxcx-logs", 1);
    runSession();
    EXPECT_THAT(dailyLog(home), HasSubstr("):> caller line\n"));
    EXPECT_THAT(moduleLog(home), HasSubstr("CamChannel::control 0000006e\n"));
}

TEST_F(LogSessionSettings, EchoSettingKeepsLogAndRecordsOffStandardError) {
    for (const char* off : {"0", "off", "no", "false"}) {
        SCOPED_TRACE(off);
        setenv("KXCX_LOG_ECHO", off, 1);
        std::filesystem::remove(DailyLogName::today());
        std::filesystem::remove(ModLog::kDefaultFile);
        EXPECT_THAT(runSession(), IsEmpty());
        EXPECT_THAT(dailyLog(dir.path()), HasSubstr("):> caller line\n"));
        EXPECT_THAT(moduleLog(dir.path()), HasSubstr("CamChannel::control 0000006e\n"));
    }
    setenv("KXCX_LOG_ECHO", "1", 1);
    EXPECT_THAT(runSession(), HasSubstr("):> caller line\n"));
}
