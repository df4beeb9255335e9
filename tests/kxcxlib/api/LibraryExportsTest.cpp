#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include <kxCxApi.h>
#include "TempDir.h"
#include "device/kxCamContext.h"
#include "device/kxCamDevice.h"
#include "frame/kxCxLib.h"
#include "frame/kxLogSession.h"
#include "kxDailyLogName.h"
#include "log/kxCxLogger.h"

using testing::HasSubstr;
using testing::Not;

namespace {

class LibraryExports : public testing::Test {
protected:
    LibraryExports() { unloadCxLib(); }
    ~LibraryExports() override { unloadCxLib(); }

    // The library log as written so far.
    std::string logText() {
        if (CxLogger* logger = CxLogger::existing()) {
            logger->flushPending();
        }
        return dir.read(DailyLogName::today());
    }

    TempDir dir;
};

class ClosingDevice : public CamDevice {
public:
    explicit ClosingDevice(int result, bool* destroyed)
        : m_result(result), m_destroyed(destroyed) {}
    ~ClosingDevice() override { *m_destroyed = true; }
    int closeContext(CamContext* context) override {
        closed = context;
        return m_result;
    }
    int acquisitionState(CamContext*) override { return 0; }
    void setAcquisitionMode(CamContext*, int) override {}
    int streamControl(CamContext*, CxFrameCallback, int) override { return 0; }
    CamContext* closed = nullptr;

private:
    int m_result;
    bool* m_destroyed;
};

}  // namespace

TEST_F(LibraryExports, VersionAndLabel) {
    int major = 0, minor = 0, revision = 0, build = 0;
    EXPECT_EQ(getCxLibVersion(&major, &minor, &revision, &build), 0);
    EXPECT_EQ(std::vector<int>({major, minor, revision, build}), std::vector<int>({2, 1, 0, 6}));
    EXPECT_STREQ(getCxLibVersionLabel(), "2.1.00.006");
}

TEST_F(LibraryExports, LoadTwiceSucceedsAndFillsTheTablesOnce) {
    EXPECT_EQ(loadCxLib(), 0);
    EXPECT_EQ(loadCxLib(), 0);
    const kxCxLib* lib = kxCxLib::obtain();
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(lib->errorTexts().size(), 44u);
    EXPECT_EQ(lib->errorTexts().at(0), "No errors.");
    EXPECT_EQ(lib->errorTexts().at(44), "Configuration name contains illegale characters (/\\*!')");
    EXPECT_EQ(lib->errorTexts().count(18), 0u);
    EXPECT_EQ(kxCxLib::modelTable().size(), 3u);
    const std::string text = logText();
    EXPECT_EQ(text.find("-------->>"), text.rfind("-------->>"));  // one session header
}

TEST_F(LibraryExports, LoadWritesTheSessionHeaderToTheDailyLog) {
    ASSERT_EQ(loadCxLib(), 0);
    logMessage("FPS=30");
    const std::string text = logText();
    EXPECT_THAT(text, testing::ContainsRegex("^LOG\\([^)]*\\):-------->>\n"));
    EXPECT_THAT(text, HasSubstr("Core session started on "));
    EXPECT_THAT(
        text, HasSubstr(" by " + LogSession::userName() + " on " + LogSession::hostName() + "\n"));
    EXPECT_THAT(text, HasSubstr("):Debug logging disabled\n"));
    EXPECT_THAT(text, HasSubstr("):> FPS=30\n"));
    // The start-up mask lets only high-level lines through.
    EXPECT_EQ(CxLogger::instance().enableMask(), 24);
}

TEST_F(LibraryExports, LogMessageBeforeLoadOrAfterUnloadWritesNothing) {
    logMessage("too early");
    ASSERT_EQ(loadCxLib(), 0);
    logMessage(nullptr);
    EXPECT_EQ(unloadCxLib(), 0);
    logMessage("too late");
    const std::string text = dir.read(DailyLogName::today());
    EXPECT_THAT(text, Not(HasSubstr("too")));
    EXPECT_THAT(text, HasSubstr("Debug logging disabled"));
    EXPECT_EQ(CxLogger::existing(), nullptr);
}

TEST_F(LibraryExports, UnloadDestroysTheObjectAndTheNextCallMakesAFreshOne) {
    ASSERT_EQ(loadCxLib(), 0);
    EXPECT_TRUE(kxCxLib::isLoaded());
    EXPECT_EQ(unloadCxLib(), 0);
    EXPECT_FALSE(kxCxLib::isValid());
    EXPECT_FALSE(kxCxLib::isLoaded());
    EXPECT_TRUE(isCxLibValid());
    EXPECT_FALSE(kxCxLib::isLoaded());
    // The model table outlives the object; loading again keeps its rows.
    EXPECT_EQ(kxCxLib::modelTable().size(), 3u);
    EXPECT_EQ(loadCxLib(), 0);
    EXPECT_EQ(kxCxLib::modelTable().size(), 3u);
}

TEST_F(LibraryExports, CloseChecksTheHandleBeforeTouchingIt) {
    EXPECT_EQ(closeCxDevice(nullptr), -3);
    CamContext context;
    context.kindTag = 2;
    EXPECT_EQ(closeCxDevice(&context), -4);
    context.kindTag = 1;
    EXPECT_EQ(closeCxDevice(&context), -6);
}

TEST_F(LibraryExports, CloseRunsTheOwnersCloseAndDestroysIt) {
    for (const auto& [result, expected] : {std::pair{0, 0}, std::pair{3, 0}, std::pair{-1, -7}}) {
        bool destroyed = false;
        auto* device = new ClosingDevice(result, &destroyed);
        CamContext context;
        context.kindTag = 0;
        context.owner = device;
        EXPECT_EQ(closeCxDevice(&context), expected);
        EXPECT_TRUE(destroyed);
    }
}

TEST_F(LibraryExports, HandleHeadSitsAtTheStartOfTheRecord) {
    CamContext context;
    EXPECT_EQ(static_cast<void*>(cxContextHead(&context)),
              static_cast<void*>(static_cast<CamContextHead*>(&context)));
    EXPECT_EQ(cxContextHead(&context)->kindTag, 1);
}
