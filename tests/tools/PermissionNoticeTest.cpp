// A board the system refuses: kxcxctl says so with the library's sentence, which names the
// board's device node, read back from what the library logged during the run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "BoardCommandsFixture.h"
#include "LogMark.h"
#include "PermissionNotice.h"
#include "ScopedEnv.h"
#include "kxDailyLogName.h"
#include "usb/kxPlatformError.h"
#include "usb/kxTransportNotice.h"
#include "usb/kxUsbTransport.h"

using testing::HasSubstr;
using testing::Not;
using testing::Optional;

namespace {

constexpr const char* kSentence =
    "no permission on /dev/bus/usb/001/004; see the README on udev rules";

// The simulated boards, whose opens the system refuses as libusb's backend reports a node it may
// not open: the notice to the library's log, and EACCES.
class RefusingBackend : public kx::SimBackend {
public:
    explicit RefusingBackend(boardsim::SimHost* host) : kx::SimBackend(host) {}
    std::unique_ptr<kx::UsbDevice> open(const std::string&) override {
        kx::TransportNotice::post(kSentence);
        kx::setLastPlatformError(EACCES);
        return nullptr;
    }
};

class RefusedBoard : public BoardCommands {
protected:
    RefusedBoard() { useBackend(std::make_unique<RefusingBackend>(&host)); }
};

}  // namespace

TEST(PermissionNotice, TheLastWholeSentenceOfTheTextIsTaken) {
    const std::string log =
        "LOG(2026-Dec-08 07:00:00.000000, 12, 34:):no permission on /dev/bus/usb/001/002; see "
        "the README on udev rules\n"
        "LOG(2026-Dec-08 07:00:00.100000, 12, 34:):Opening interface 0 of {...} failed\n"
        "LOG(2026-Dec-08 07:00:00.200000, 12, 34:):" +
        std::string(kSentence) + "\n" + "LOG(...):no permission on /dev/bus/usb/001/00";
    EXPECT_THAT(PermissionNotice::lastIn(log), Optional(std::string(kSentence)));
    EXPECT_EQ(PermissionNotice::lastIn("Opening interface 0 failed: Permission denied\n"),
              std::nullopt);
    // Cut short, or broken across lines, or not a node: not the library's sentence.
    EXPECT_EQ(PermissionNotice::lastIn("no permission on /dev/bus/usb/001/004; see the README"),
              std::nullopt);
    EXPECT_EQ(PermissionNotice::lastIn(
                  "no permission on /dev/bus/usb/001/004\n; see the README on udev rules"),
              std::nullopt);
    EXPECT_EQ(
        PermissionNotice::lastIn("no permission on /dev/bus/usb/x/4; see the README on udev rules"),
        std::nullopt);
    EXPECT_THAT(PermissionNotice::withoutNode(), HasSubstr("; see the README on udev rules"));
}

TEST(LogMark, WhatTheDailyLogGainedAfterTheMarkIsRead) {
    TempDir dir;
    const ScopedEnv folder("KXCX_LOG_DIR", dir.path().c_str());
    const std::string file = dir.path() + "/" + DailyLogName::today();
    std::ofstream(file) << "an earlier run: " << kSentence << "\n";
    const LogMark mark = LogMark::now();
    std::ofstream(file, std::ios::app) << "this run\n";
    EXPECT_THAT(mark.appended(), HasSubstr("this run"));
    EXPECT_THAT(mark.appended(), Not(HasSubstr("an earlier run")));
    EXPECT_EQ(PermissionNotice::lastIn(mark.appended()), std::nullopt);
}

TEST_F(RefusedBoard, OpeningSaysNoPermissionOnTheNodeAndPointsToTheReadme) {
    plug("RT4207");
    const Outcome result = run({"versions"});
    EXPECT_NE(result.code, 0);
    EXPECT_THAT(result.err,
                HasSubstr(std::string("RT4207-x6B6B_00 could not be opened: ") + kSentence + "\n"))
        << result.err;
    EXPECT_THAT(toolLog(), HasSubstr(kSentence));
}

TEST_F(RefusedBoard, AnEarlierRunsSentenceIsNotTakenForThisOne) {
    plug("RT4207");
    std::filesystem::create_directories(logs.path());
    std::ofstream(logs.path() + "/" + DailyLogName::today())
        << "no permission on /dev/bus/usb/009/009; see the README on udev rules\n";
    const Outcome result = run({"versions"});
    EXPECT_THAT(result.err, HasSubstr(kSentence)) << result.err;
    EXPECT_THAT(result.err, Not(HasSubstr("009/009")));
}
