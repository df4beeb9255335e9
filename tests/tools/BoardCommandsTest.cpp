#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "Arguments.h"
#include "BoardCommandsFixture.h"
#include "ProgressBar.h"

using testing::HasSubstr;

namespace {

// The pixels of a PNG that kxcxctl wrote (stored deflate blocks, filter 0): RGB rows, or empty
// when the file is not such a PNG of the given size.
std::vector<uint8_t> readPng(const std::string& path, int width, int height) {
    std::ifstream file(path, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (png.size() < 8 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        return {};
    }
    const auto be32 = [&](std::size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(png[at])) << 24 |
               static_cast<uint32_t>(static_cast<uint8_t>(png[at + 1])) << 16 |
               static_cast<uint32_t>(static_cast<uint8_t>(png[at + 2])) << 8 |
               static_cast<uint32_t>(static_cast<uint8_t>(png[at + 3]));
    };
    std::string zlib;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = be32(at);
        const std::string type = png.substr(at + 4, 4);
        if (type == "IHDR" && (be32(at + 8) != static_cast<uint32_t>(width) ||
                               be32(at + 12) != static_cast<uint32_t>(height))) {
            return {};
        }
        if (type == "IDAT") {
            zlib += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    std::vector<uint8_t> raw;
    for (std::size_t at = 2; at + 5 <= zlib.size();) {
        const bool last = (zlib[at] & 1) != 0;
        const std::size_t length = static_cast<uint8_t>(zlib[at + 1]) |
                                   static_cast<std::size_t>(static_cast<uint8_t>(zlib[at + 2]))
                                       << 8;
        raw.insert(raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(at + 5),
                   zlib.begin() + static_cast<std::ptrdiff_t>(at + 5 + length));
        at += 5 + length;
        if (last) {
            break;
        }
    }
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    if (raw.size() != (row + 1) * static_cast<std::size_t>(height)) {
        return {};
    }
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        const auto begin = raw.begin() + static_cast<std::ptrdiff_t>(y * (row + 1) + 1);
        pixels.insert(pixels.end(), begin, begin + static_cast<std::ptrdiff_t>(row));
    }
    return pixels;
}

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
                HasSubstr("kxcxctl regfile: cannot open nope.txt: there is no such file\n"));
}

TEST_F(BoardCommands, GrabWritesNewFramesAsPictures) {
    plug("RT4207,fps=0");
    const Outcome grabbed = run({"grab", "2", "shots"});
    EXPECT_EQ(grabbed.code, 0) << grabbed.err;
    EXPECT_EQ(grabbed.out, "wrote 2 frames to shots\n");
    const auto first = readPng("shots/frame_000.png", 400, 400);
    const auto second = readPng("shots/frame_001.png", 400, 400);
    ASSERT_EQ(first.size(), 480000u);
    ASSERT_EQ(second.size(), 480000u);
    EXPECT_NE(first, second);  // the scene moves; a repeated frame is not kept
    EXPECT_EQ(run({"grab", "0", "shots"}).code, 2);
    EXPECT_EQ(run({"grab", "1", "shots", "--write", "0x3C:0x1A"}).code, 2);
}

TEST_F(BoardCommands, GrabMakesNoFolderForACommandLineItRefuses) {
    plug("RT4207,fps=0");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"grab", "1", "shots", "--write", "0x3C:0x1A"},
          {"grab", "1", "shots", "--fast"},
          {"grab", "1", "shots", "--write"}}) {
        EXPECT_EQ(run(args).code, 2);
        EXPECT_FALSE(std::filesystem::exists("shots"));
    }
}

TEST_F(BoardCommands, GrabShowsTheFpgaColourBarsAndStopsWhenThePictureStandsStill) {
    plug("RT4207,fps=0");
    const Outcome bars = run({"grab", "3", "bars", "--write", "0x3C:0x1A=1"});
    EXPECT_EQ(bars.code, 0) << bars.err;
    EXPECT_EQ(bars.out,
              "wrote 1 frames to bars (the picture stood still; the others would repeat the "
              "last)\n");
    const auto pixels = readPng("bars/frame_000.png", 400, 400);
    ASSERT_EQ(pixels.size(), 480000u);
    // Horizontal bars above a grey ramp: each bar one colour from edge to edge.
    const auto at = [&](int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * 400 + x) * 3;
        return std::array<uint8_t, 3>{pixels[i], pixels[i + 1], pixels[i + 2]};
    };
    std::set<std::array<uint8_t, 3>> colours;
    for (int y = 5; y < 340; y += 10) {
        EXPECT_EQ(at(0, y), at(399, y)) << y;
        colours.insert(at(200, y));
    }
    EXPECT_GE(colours.size(), 6u);
}

TEST_F(BoardCommands, StreamReportsNewFramesCallbacksAndCounters) {
    plug("RT4207,fps=30");
    const Outcome streamed = run({"stream", "1"});
    EXPECT_EQ(streamed.code, 0) << streamed.err;
    EXPECT_THAT(streamed.out, testing::ContainsRegex("  1s +[0-9]+ frames/s +[0-9]+ callbacks/s  "
                                                     "board: produced +[0-9]+ sent +[0-9]+\n"));
    unsigned long frames = 0;
    double seconds = 0;
    double perSecond = 0;
    double calls = 0;
    const std::string summary =
        streamed.out.substr(streamed.out.rfind('\n', streamed.out.size() - 2) + 1);
    ASSERT_EQ(std::sscanf(summary.c_str(), "%lu frames in %lf s: %lf frames/s (%lf callbacks/s",
                          &frames, &seconds, &perSecond, &calls),
              4)
        << summary;
    // The board makes 30 frames a second (a sanitizer build renders far fewer); the poll repeats
    // the newest between them.
    EXPECT_GT(frames, 0u);
    EXPECT_LE(frames, 32u);
    EXPECT_GE(calls, perSecond);
    EXPECT_EQ(run({"stream", "0"}).code, 2);
}

TEST(ProgressBar, RendersPercentOfTheStepRange) {
    EXPECT_EQ(ProgressBar::render(2), "[" + std::string(40, ' ') + "]   0%");
    EXPECT_EQ(ProgressBar::render(111),
              "[" + std::string(20, '#') + std::string(20, ' ') + "]  50%");
    EXPECT_EQ(ProgressBar::render(500), "[" + std::string(40, '#') + "] 100%");
    // A loader's own scale, and one that runs past its end (the flash erase's busy poll).
    EXPECT_EQ(ProgressBar::render(5, {5, 110}), "[" + std::string(40, ' ') + "]   0%");
    EXPECT_EQ(ProgressBar::render(230, {5, 110}), "[" + std::string(40, '#') + "] 100%");
    EXPECT_EQ(ProgressBar::render(3, {3, 3}), "[" + std::string(40, ' ') + "]   0%");
}

TEST(ProgressBar, RedrawsAtMostEveryIntervalAndEndsOnTheLastStep) {
    std::ostringstream out;
    auto now = std::chrono::steady_clock::time_point();
    const auto drawn = [](std::initializer_list<int> steps) {
        std::string text;
        for (const int step : steps) {
            text += "\r" + ProgressBar::render(step);
        }
        return text;
    };
    {
        ProgressBar bar(out, false, {2, 220}, [&] { return now; });
        for (int step = 2; step <= 100; ++step) {
            ProgressBar::callback()(step, nullptr);
        }
        EXPECT_EQ(out.str(), drawn({2}));
        now += ProgressBar::kRedrawInterval;
        ProgressBar::callback()(111, nullptr);
        ProgressBar::callback()(150, nullptr);
        EXPECT_EQ(out.str(), drawn({2, 111}));
    }
    EXPECT_EQ(out.str(), drawn({2, 111, 150}) + "\n");
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
