#include "log/kxCxLogger.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "TempDir.h"

using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

namespace {

class CxLoggerTest : public testing::Test {
protected:
    std::string written() {
        logger.flushPending();
        return dir.read("test.log");
    }

    TempDir dir;
    CxLogger logger;
};

}  // namespace

TEST_F(CxLoggerTest, WithoutAnOpenFileEveryLineSaysSoOnStandardError) {
    testing::internal::CaptureStderr();
    logger.log(8, "lost %d\n", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), " log file is NULL!\n");
}

TEST_F(CxLoggerTest, StartupMaskWritesOnlyHighLevelLinesWithTheLogPrefix) {
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(false);
    EXPECT_EQ(logger.setLevelMask(8), 24);
    logger.log(1, "low one\n");
    logger.log(4, "low four\n");
    logger.log(5, "high five\n");
    const std::string text = written();
    EXPECT_THAT(text, Not(HasSubstr("low")));
    const std::string pid = std::to_string(getpid());
    EXPECT_THAT(text, testing::MatchesRegex("LOG\\([0-9]{4}-[A-Z][a-z][a-z]-[0-9][0-9] "
                                            "[0-9:.]+, " +
                                            pid + ", [0-9]+:\\):high five\n"));
}

TEST_F(CxLoggerTest, LowLevelPrefixFollowsThePrefixLevel) {
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(false);
    logger.setLevelMask(4);
    logger.log(2, "wide\n");
    EXPECT_EQ(logger.setPrefixLevel(4), 0x7FFFFFFF);
    logger.log(2, "narrow\n");
    logger.log(8, "hidden\n");
    const std::string text = written();
    EXPECT_THAT(text, testing::ContainsRegex("DBG\\([^)]*, t:[0-9]+:\\)wide"));
    EXPECT_THAT(text, testing::ContainsRegex("DBG\\([^)]*, [0-9]+:\\)narrow"));
    EXPECT_THAT(text, Not(HasSubstr("hidden")));
}

TEST_F(CxLoggerTest, LevelMaskValues) {
    const std::pair<int, int> cases[] = {{2, 2},       {4, 4},  {32, 32}, {128, 128},
                                         {512, 0x700}, {8, 24}, {0, 24},  {-1, 24}};
    for (const auto& [level, mask] : cases) {
        EXPECT_EQ(logger.setLevelMask(level), mask) << level;
        EXPECT_EQ(logger.enableMask(), mask) << level;
    }
}

TEST_F(CxLoggerTest, OneTrailingLineFeedIsDroppedAndLinesKeepTheirOrder) {
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(false);
    logger.log(8, "one\n");
    logger.log(8, "two");
    logger.log(8, "three\n\n");
    const std::string text = written();
    EXPECT_THAT(text, testing::MatchesRegex("LOG[^\n]*one\nLOG[^\n]*two\nLOG[^\n]*three\n\n"));
}

TEST_F(CxLoggerTest, EchoCopiesEachBatchToStandardError) {
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(true);
    // The writer thread may write the line at any moment: capture from before the call.
    testing::internal::CaptureStderr();
    logger.log(8, "echoed\n");
    logger.flushPending();
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(":echoed\n"));
    logger.setEcho(false);
    testing::internal::CaptureStderr();
    logger.log(8, "quiet\n");
    logger.flushPending();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_THAT(dir.read("test.log"), HasSubstr(":quiet"));
}

TEST_F(CxLoggerTest, WriterThreadWritesWithinAFewPeriods) {
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(false);
    logger.log(8, "background\n");
    for (int i = 0; i < 100 && dir.read("test.log").empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_THAT(dir.read("test.log"), HasSubstr("background"));
}

TEST_F(CxLoggerTest, LinesLoggedJustBeforeDestructionReachTheFile) {
    auto shortLived = std::make_unique<CxLogger>();
    ASSERT_TRUE(shortLived->open("last.log", "CxLib"));
    shortLived->setEcho(false);
    shortLived->log(8, "last words\n");
    shortLived.reset();
    EXPECT_THAT(dir.read("last.log"), HasSubstr("last words"));
}

TEST_F(CxLoggerTest, OpenAppendsToAnExistingFile) {
    { std::ofstream("test.log") << "earlier\n"; }
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(false);
    logger.log(8, "later\n");
    EXPECT_THAT(written(), StartsWith("earlier\nLOG("));
}

TEST_F(CxLoggerTest, TruncateEmptiesTheFileAndReadBackReturnsIt) {
    EXPECT_FALSE(logger.truncate());
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(false);
    logger.log(8, "before\n");
    logger.flushPending();
    EXPECT_TRUE(logger.truncate());
    EXPECT_EQ(dir.read("test.log"), "");
    logger.log(8, "after\n");
    logger.flushPending();
    char* data = nullptr;
    int size = 0;
    logger.readLog(&data, &size);
    ASSERT_NE(data, nullptr);
    const std::string text(data, static_cast<std::size_t>(size));
    delete[] data;
    EXPECT_THAT(text, Not(HasSubstr("before")));
    EXPECT_THAT(text, HasSubstr("after"));
    // The stream is open again for appending.
    logger.log(8, "again\n");
    EXPECT_THAT(written(), HasSubstr("again"));
}

TEST_F(CxLoggerTest, UnwritableFolderFallsBackToTheHomeFolder) {
    const std::string home = dir.path();
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    setenv("HOME", home.c_str(), 1);
    const auto savedCwd = std::filesystem::current_path();
    // Nobody, not even root, can create a file here.
    std::filesystem::current_path("/proc");
    const bool opened = logger.open("home.log", "CxLib");
    std::filesystem::current_path(savedCwd);
    setenv("HOME", savedHome.c_str(), 1);
    ASSERT_TRUE(opened);
    EXPECT_EQ(logger.fileName(), home + "/home.log");
    logger.setEcho(false);
    logger.log(8, "at home\n");
    logger.flushPending();
    EXPECT_THAT(dir.read("home.log"), HasSubstr("at home"));
    EXPECT_NE(logger.flags() & CxLogger::kFlagFileOpen, 0);
}

TEST_F(CxLoggerTest, CloseClearsTheOpenFlag) {
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    EXPECT_TRUE(logger.isOpen());
    logger.close();
    EXPECT_FALSE(logger.isOpen());
    EXPECT_EQ(logger.flags() & CxLogger::kFlagFileOpen, 0);
}

TEST_F(CxLoggerTest, ManyThreadsLoseNoLine) {
    ASSERT_TRUE(logger.open("test.log", "CxLib"));
    logger.setEcho(false);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 200; ++i) {
                logger.log(8, "t%d line %d\n", t, i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::string text = written();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 800);
    EXPECT_THAT(text, HasSubstr(":t3 line 199\n"));
}
