#include "log/kxCxModLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempDir.h"
#include "log/kxModFault.h"

using testing::HasSubstr;
using testing::MatchesRegex;

namespace {

class ModLogTest : public testing::Test {
protected:
    ModLogTest() { ModLog::setModLogFile(dir.path() + "/mod.log"); }
    ~ModLogTest() override { ModLog::setModLogFile(ModLog::kDefaultFile); }

    TempDir dir;
    ModLog log;
};

}  // namespace

TEST_F(ModLogTest, RecordHasHeadPositionAndIndentedMessageLines) {
    log.setModTag(L" cam0");
    testing::internal::CaptureStderr();
    log._outModLog_(ModLog::kError, "kxChannel.cpp", 549, "CamDevice::ioctlCamDevice",
                    "%08lx\nsecond line", 0x13UL);
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_THAT(text, MatchesRegex("\\[e\\] [0-9]{2}-[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3},[0-9]{3}"
                                   " \\(P=[0-9A-F]+,T=[0-9A-F]+\\) cam0\n"
                                   "  kxChannel\\.cpp:549:CamDevice::ioctlCamDevice 00000013\n"
                                   "  second line\n"));
    EXPECT_EQ(dir.read("mod.log"), text);
}

TEST_F(ModLogTest, ThresholdsChooseConsoleAndFile) {
    log.setThresholds(ModLog::kError, ModLog::kInfo);
    testing::internal::CaptureStderr();
    log._outModLog_(ModLog::kInfo, "a.cpp", 1, "f", "info only in file");
    log._outModLog_(ModLog::kDebug, "a.cpp", 2, "f", "debug nowhere");
    log._outModLog_(ModLog::kError, "a.cpp", 3, "f", "error in both");
    const std::string console = testing::internal::GetCapturedStderr();
    const std::string file = dir.read("mod.log");
    EXPECT_THAT(console, testing::Not(HasSubstr("info only")));
    EXPECT_THAT(console, HasSubstr("[e] "));
    EXPECT_THAT(file, HasSubstr("[i] "));
    EXPECT_THAT(file, HasSubstr("error in both"));
    EXPECT_THAT(file + console, testing::Not(HasSubstr("debug nowhere")));
}

TEST_F(ModLogTest, LongMessagesAreNotCut) {
    const std::string big(3000, 'q');
    testing::internal::CaptureStderr();
    log._outModLog_(ModLog::kError, "a.cpp", 1, "f", "%s!", big.c_str());
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(big + "!\n"));
}

TEST_F(ModLogTest, BadArgumentsGiveAnInternalErrorLine) {
    const struct {
        int level;
        const char* source;
        const char* function;
        const char* format;
    } cases[] = {{0, "a", "f", "m"},
                 {5, "a", "f", "m"},
                 {1, nullptr, "f", "m"},
                 {1, "a", nullptr, "m"},
                 {1, "a", "f", nullptr}};
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        log._outModLog_(c.level, c.source, 1, c.function, c.format, 0);
        EXPECT_THAT(testing::internal::GetCapturedStderr(),
                    MatchesRegex("-e- [^\n]*\n  kxCxModLog\\.cpp:[0-9]+:ModLog::_outModLog_ \n"));
    }
}

TEST_F(ModLogTest, UnopenableModuleFileIsReportedWithErrno) {
    ModLog::setModLogFile(dir.path() + "/missing/folder/mod.log");
    log.setThresholds(0, ModLog::kDebug);
    testing::internal::CaptureStderr();
    log._outModLog_(ModLog::kError, "a.cpp", 1, "f", "lost");
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                MatchesRegex("-e- [^\n]*\n  kxCxModLog\\.cpp:[0-9]+:ModLog::_outModLog_  "
                             "errno=2 welc=00000002\n"));
}
