#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Arguments.h"
#include "CommandLine.h"
#include "ProgressBar.h"
#include "TempDir.h"
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

class BoardCommands : public testing::Test {
protected:
    BoardCommands() { kx::UsbTransport::replace(std::make_unique<kx::SimBackend>(&host)); }
    ~BoardCommands() override { kx::UsbTransport::replace(nullptr); }

    void plug(const char* description) {
        std::string error;
        ASSERT_TRUE(host.configure(description, error)) << error;
    }

    Outcome run(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        const int code = CommandLine::run(args, out, err);
        return {code, out.str(), err.str()};
    }

    TempDir dir;
    boardsim::SimHost host;
};

}  // namespace

TEST_F(BoardCommands, RegisterReadAndWriteOnAnyPart) {
    plug("");
    const Outcome major = run({"reg", "read", "0x3C", "1"});
    EXPECT_EQ(major.code, 0) << major.err;
    EXPECT_EQ(major.out, "0x01\n");
    // Each run opens the board anew; the board keeps its registers between runs.
    EXPECT_EQ(run({"reg", "write", "0x35", "0x4001", "1", "--wide"}).code, 0);
    EXPECT_EQ(run({"reg", "read", "0x35", "0x4001", "--wide"}).out, "0x01\n");
    EXPECT_EQ(run({"reg", "write", "0x54", "0x10", "0xAB"}).code, 0);
    EXPECT_EQ(run({"reg", "read", "0x54", "16"}).out, "0xAB\n");
}

TEST_F(BoardCommands, RegisterErrorsAreOneLine) {
    plug("");
    EXPECT_EQ(run({"reg", "read", "0x80", "1"}).err,
              "kxcxctl reg: SLAVE must be a 7-bit address: 0x80\n");
    EXPECT_EQ(run({"reg", "read", "0x35", "0x3003"}).err,
              "kxcxctl reg: REG must be 0 to 0xFF (--wide for 16 bits): 0x3003\n");
    EXPECT_EQ(run({"reg", "write", "0x3C", "1", "256"}).err,
              "kxcxctl reg: VALUE must be 0 to 0xFF: 256\n");
    const Outcome usage = run({"reg", "peek"});
    EXPECT_EQ(usage.code, 2);
    EXPECT_THAT(usage.err, HasSubstr("usage: reg read SLAVE REG"));
    EXPECT_EQ(run({"reg", "read", "0x3C", "1", "--fast"}).err,
              "kxcxctl reg: unknown option --fast\n");
    // Writing to a part that is not on the bus fails; reading it gives the filler.
    const Outcome absent = run({"reg", "write", "0x22", "0", "1"});
    EXPECT_EQ(absent.code, 1);
    EXPECT_EQ(absent.err.substr(absent.err.rfind("kxcxctl")),
              "kxcxctl reg: writing the register failed\n");
}

TEST_F(BoardCommands, BoardChoice) {
    plug("none");
    EXPECT_EQ(run({"versions"}).err, "kxcxctl versions: no camera board found\n");
    plug("RT4207*2");
    EXPECT_EQ(run({"versions"}).err,
              "kxcxctl versions: 2 boards found: choose one with --device NAME\n");
    EXPECT_EQ(run({"versions", "--device", "RT4207-x6B6B_07"}).err,
              "kxcxctl versions: no board named RT4207-x6B6B_07 (kxcxctl list shows the boards)\n");
    const Outcome chosen = run({"versions", "--device", "RT4207-x6B6B_01"});
    EXPECT_EQ(chosen.code, 0) << chosen.err;
    EXPECT_EQ(run({"versions", "--device"}).err, "kxcxctl versions: --device needs a value\n");
}

TEST_F(BoardCommands, VersionsReadTheControllerAndTheFpga) {
    plug("RT4207,fpga=1.20,mcu=1.05");
    const Outcome result = run({"versions"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "RT4207-x6B6B_00\n  MCU firmware  1.05\n  FPGA          1.20\n");
}

TEST_F(BoardCommands, IoctlInAndOut) {
    plug("");
    EXPECT_EQ(run({"ioctl", "in", "0xB0", "0", "0", "4"}).out, "2 bytes: 07 01\n");
    EXPECT_EQ(run({"ioctl", "out", "0xA9", "0x10", "0x54", "0x5A"}).out, "1 bytes\n");
    EXPECT_EQ(run({"ioctl", "in", "0xA9", "0x10", "0x54", "1"}).out, "1 bytes: 5A\n");
    const Outcome refused = run({"ioctl", "in", "0x77", "0", "0", "1"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_THAT(refused.err, HasSubstr("kxcxctl ioctl: the board refused the request\n"));
    EXPECT_EQ(run({"ioctl", "out", "0x100", "0", "0"}).code, 2);
}

TEST_F(BoardCommands, RegisterFileWithProgress) {
    plug("");
    std::ofstream("regs.txt") << ";(a) sensor controller system reset\n6A 4001 01\n";
    const Outcome sent = run({"regfile", "regs.txt"});
    EXPECT_EQ(sent.code, 0) << sent.err;
    EXPECT_THAT(sent.out, HasSubstr("sent regs.txt: 47 characters read"));
    EXPECT_THAT(sent.err, HasSubstr("\r" + ProgressBar::render(2)));
    EXPECT_THAT(sent.err, HasSubstr("\r" + ProgressBar::render(220) + "\n"));
    EXPECT_EQ(run({"reg", "read", "0x35", "0x4001", "--wide"}).out, "0x01\n");
    const Outcome quiet = run({"regfile", "regs.txt", "--quiet"});
    EXPECT_THAT(quiet.err, testing::Not(HasSubstr("[")));
    EXPECT_THAT(run({"regfile", "nope.txt"}).err,
                HasSubstr("kxcxctl regfile: cannot open nope.txt\n"));
}

TEST(ProgressBar, RendersPercentOfTheStepRange) {
    EXPECT_EQ(ProgressBar::render(2), "[" + std::string(40, ' ') + "]   0%");
    EXPECT_EQ(ProgressBar::render(111),
              "[" + std::string(20, '#') + std::string(20, ' ') + "]  50%");
    EXPECT_EQ(ProgressBar::render(500), "[" + std::string(40, '#') + "] 100%");
}

TEST(Arguments, NumbersAreDecimalOrPrefixedHex) {
    EXPECT_EQ(Arguments::number("0x3C", 0, 0xFF), 0x3C);
    EXPECT_EQ(Arguments::number("60", 0, 0xFF), 60);
    EXPECT_EQ(Arguments::number("010", 0, 0xFF), 10);
    EXPECT_FALSE(Arguments::number("3C", 0, 0xFF));
    EXPECT_FALSE(Arguments::number("-1", -5, 5));
    EXPECT_FALSE(Arguments::number("0x", 0, 0xFF));
    EXPECT_FALSE(Arguments::number("256", 0, 0xFF));
    EXPECT_FALSE(Arguments::number("99999999999999999999", 0, 0xFF));
}
