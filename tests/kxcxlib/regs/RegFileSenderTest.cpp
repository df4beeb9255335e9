#include "regs/kxRegFileSender.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "FifoFeeder.h"
#include "SimDeviceFixture.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

namespace {

std::vector<int> g_steps;
void recordStep(int step, bool* abort) {
    g_steps.push_back(step);
    EXPECT_NE(abort, nullptr);
    EXPECT_FALSE(*abort);
}

class RegFileSenderTest : public SimDeviceFixture {
protected:
    void SetUp() override {
        handle = openBoard("");
        ASSERT_NE(handle, nullptr);
        g_steps.clear();
    }

    // The register writes the board received, as "index register data".
    std::vector<std::string> writes() const {
        std::vector<std::string> list;
        for (const auto& control : controls()) {
            if (control.setup.requestType == 0x40 && control.setup.request == 0xA9) {
                char text[32];
                std::snprintf(text, sizeof text, "%03x %04x %02x", control.setup.index,
                              control.setup.value, control.data.empty() ? 0 : control.data[0]);
                list.push_back(text);
            }
        }
        return list;
    }

    int send(const std::string& text, const char* trace = nullptr) {
        writeFile("regs.txt", text);
        RegFileSender sender([this](std::chrono::milliseconds pause) {
            pauses.push_back(pause);
            pausesAfterWrites.push_back(writes().size());
        });
        return sender.send(handle, "regs.txt", trace, &recordStep);
    }

    CamContext* handle = nullptr;
    std::vector<std::chrono::milliseconds> pauses;
    std::vector<std::size_t> pausesAfterWrites;
};

}  // namespace

TEST_F(RegFileSenderTest, HeaderIsSkippedAndCommentsAreNotSent) {
    const std::string text =
        "6A 1111 11\n"
        ";(a) sensor controller system reset\n"
        "6A 3003 20\n"
        "; comment\n"
        "\r\n"
        "\n"
        "78 0004 5\n";
    // Counted as text mode reads it: the CR of the CR LF line does not count.
    EXPECT_EQ(send(text), static_cast<int>(text.size()) - 1);
    EXPECT_THAT(writes(), ElementsAre("135 3003 20", "13c 0004 05"));
    EXPECT_THAT(g_steps, ElementsAre(2, 220));
}

TEST_F(RegFileSenderTest, WithoutTheHeaderMarkerNothingIsSent) {
    const std::string text = "6A 3003 20\n6A 3004 21\n";
    EXPECT_EQ(send(text), static_cast<int>(text.size()));
    EXPECT_TRUE(writes().empty());
    EXPECT_THAT(g_steps, ElementsAre(2, 220));
}

TEST_F(RegFileSenderTest, TwoLinesAfterResetIspAreSentWithPausesAndTheRestIsNotRead) {
    const std::string head =
        ";(a) sensor controller system reset\n"
        "6A 3000 01\n"
        ";reset isp\n"
        "6A 3001 02\n"
        "6A 3002 03\n";
    EXPECT_EQ(send(head + "6A 3009 09\n"), static_cast<int>(head.size()));
    EXPECT_THAT(writes(), ElementsAre("135 3000 01", "135 3001 02", "135 3002 03"));
    EXPECT_THAT(pauses,
                ElementsAre(std::chrono::milliseconds(300), std::chrono::milliseconds(300)));
    EXPECT_THAT(pausesAfterWrites, ElementsAre(2u, 3u));
}

TEST_F(RegFileSenderTest, PartlyParsedLinesCountMissingNumbersAsZeroAndEmptyOnesAreSkipped) {
    testing::internal::CaptureStderr();
    send(";(a) sensor controller system reset\n6A 3003\nno numbers here\n6A\n");
    const std::string text = testing::internal::GetCapturedStderr();
    // "no numbers here" would have been a write of 0 to the general-call address.
    EXPECT_THAT(writes(), ElementsAre("135 3003 00", "135 0000 00"));
    EXPECT_THAT(text, testing::HasSubstr("regs.txt: line 3 holds no register data"));
}

TEST_F(RegFileSenderTest, ProgressStepsFollowTheFileSize) {
    // 2000 lines of 11 bytes: 22000 bytes, a step of 1024 bytes, first threshold 3072.
    std::string text = ";(a) sensor controller system reset\n";
    for (int i = 0; i < 2000; ++i) {
        text += "6A 3100 35\n";
    }
    EXPECT_EQ(send(text), static_cast<int>(text.size()));
    ASSERT_GE(g_steps.size(), 3u);
    EXPECT_EQ(g_steps.front(), 2);
    EXPECT_EQ(g_steps.back(), 220);
    for (std::size_t i = 1; i + 1 < g_steps.size(); ++i) {
        EXPECT_EQ(g_steps[i], g_steps[i - 1] + 1);
    }
    // Bytes above 3072, 4096, ... 21504: 19 thresholds passed.
    EXPECT_EQ(g_steps.size(), 2u + 19u);
    EXPECT_EQ(writes().size(), 2000u);
}

TEST_F(RegFileSenderTest, LargeFileUsesTwoHundredSteps) {
    std::string text = ";(a) sensor controller system reset\n";
    const std::string comment = ";" + std::string(1000, 'c') + "\n";
    while (text.size() < 400000) {
        text += comment;
    }
    send(text);
    // size / 200 per step, from the third step on: at most about 200 calls in all.
    EXPECT_GT(g_steps.size(), 190u);
    EXPECT_LE(g_steps.size(), 202u);
    EXPECT_EQ(g_steps.back(), 220);
}

TEST_F(RegFileSenderTest, LongLinesAreReadInPieces) {
    // A 3000-character comment is read as three pieces; the later two do not start with ';'
    // and hold no number, so they are skipped as empty register lines.
    testing::internal::CaptureStderr();
    const std::string text =
        ";(a) sensor controller system reset\n;" + std::string(2999, 'z') + "\n6A 3003 20\n";
    EXPECT_EQ(send(text), static_cast<int>(text.size()));
    testing::internal::GetCapturedStderr();
    EXPECT_THAT(writes(), ElementsAre("135 3003 20"));
}

TEST_F(RegFileSenderTest, ErrorCodes) {
    RegFileSender sender([](std::chrono::milliseconds) {});
    EXPECT_EQ(sender.send(nullptr, "regs.txt", nullptr, nullptr), -20);
    EXPECT_EQ(sender.send(handle, nullptr, nullptr, nullptr), -21);
    EXPECT_EQ(sender.send(handle, "missing.txt", nullptr, nullptr), -22);
    EXPECT_EQ(sendRegFile(handle, nullptr, nullptr), -21);
    EXPECT_EQ(sendRegFile(handle, "missing.txt", nullptr), -22);
}

TEST_F(RegFileSenderTest, ExportPausesForReal) {
    writeFile("regs.txt",
              ";(a) sensor controller system reset\n;reset isp\n6A 3001 02\n6A 3002 03\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_GT(sendRegFile(handle, "regs.txt", nullptr), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
    EXPECT_EQ(writes().size(), 2u);
}

TEST_F(RegFileSenderTest, OddContentIsCountedAndBounded) {
    // An embedded NUL still counts as a character of its line.
    const std::string withNul = std::string(";(a) sensor controller system reset\n; a\0b\n", 41);
    EXPECT_EQ(send(withNul), 41);
    // A number too large for any register is cut, not undefined.
    send(";(a) sensor controller system reset\n6A FFFFFFFFFFFFFFFFFFFFFFFF 20\n");
    EXPECT_EQ(writes().back(), "135 ffff 20");
}

TEST_F(RegFileSenderTest, OnlyRegularFilesAreReadAndTheLogSaysWhy) {
    // A pipe would keep the caller waiting for a writer, a device might never end.
    const FifoFeeder pipe("pipe.txt", ";(a) sensor controller system reset\n6A 3003 20\n");
    std::filesystem::create_directory("folder");
    for (const char* path : {"missing.txt", "pipe.txt", "folder", "/dev/zero"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(sendRegFile(handle, path, nullptr), -22);
    }
    EXPECT_EQ(pipe.readers(), 0);
    EXPECT_TRUE(writes().empty());
    const std::string log = logText();
    EXPECT_THAT(log,
                HasSubstr("Sending register file pipe.txt refused: it is not a regular file\n"));
    EXPECT_THAT(log, HasSubstr("Sending register file folder refused: it is a folder\n"));
    EXPECT_THAT(log,
                HasSubstr("Sending register file missing.txt refused: there is no such file\n"));
}

TEST_F(RegFileSenderTest, FailedWritesDoNotStopTheFileButFailIt) {
    // Nothing answers at 0x22 (0x44 in 8-bit form): its writes stall.
    const int result = send(
        ";(a) sensor controller system reset\n"
        "6A 3003 20\n"
        "44 0001 01\n"
        "6A 3004 21\n"
        "44 0002 02\n");
    EXPECT_EQ(result, -24);
    EXPECT_THAT(writes(), ElementsAre("135 3003 20", "122 0001 01", "135 3004 21", "122 0002 02"));
    EXPECT_THAT(g_steps, ElementsAre(2, 220));
    const std::string log = logText();
    EXPECT_THAT(log,
                HasSubstr("Sending register file regs.txt: line 3 was not written: 44 0001 01\n"));
    EXPECT_THAT(log, Not(HasSubstr("line 5 was not written")));
    EXPECT_THAT(log, HasSubstr("Sending register file regs.txt failed: 2 of 4 register writes were "
                               "not taken\n"));
}
