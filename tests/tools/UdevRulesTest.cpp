// kxcxctl udev-rules: what a user installs so that the boards of the device map open without root.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "CommandLine.h"
#include "CommandOutcome.h"
#include "ScopedEnv.h"
#include "TempDir.h"

using testing::HasSubstr;
using testing::IsEmpty;

namespace {

Outcome run(const std::vector<std::string>& args) {
    return runCommand(&CommandLine::run, args);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

TEST(UdevRules, EachMappedBoardGetsOneUaccessRuleAndEveryOtherLineIsAComment) {
    TempDir dir;
    const std::string map = dir.path() + "/devicemap.txt";
    std::ofstream(map) << "# boards without a GUID\n"
                          "RT4207-x6B6B 04B4:1004\n"
                          "MV3318-x7654 4b4:8613   # second variant\n"
                          "RT4207-x6B6B 04b4:1004\n"  // the same pair again: one rule
                          "broken line\n";
    const Outcome result = run({"udev-rules", "--map", map});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(result.err, HasSubstr(map + ":5:"));  // the malformed line, the rest still applies

    // udev's syntax: comma-separated KEY==/KEY+= pairs with quoted values.
    const std::regex rule(
        R"re(SUBSYSTEM=="usb", ENV\{DEVTYPE\}=="usb_device", ATTR\{idVendor\}=="([0-9a-f]{4})", )re"
        R"re(ATTR\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess")re");
    std::vector<std::string> pairs;
    for (const std::string& line : linesOf(result.out)) {
        std::smatch match;
        if (std::regex_match(line, match, rule)) {
            pairs.push_back(match[1].str() + ":" + match[2].str());
        } else {
            EXPECT_TRUE(line.empty() || line[0] == '#') << "not a rule or comment: " << line;
        }
    }
    EXPECT_EQ(pairs, (std::vector<std::string>{"04b4:1004", "04b4:8613"}));
    EXPECT_THAT(result.out, HasSubstr("# MV3318-x7654 (line 3 of the map)"));
    // The file is named to sort before 73-seat-late.rules, which turns the tag into the seat
    // user's access: a later file would tag the board too late.
    std::smatch installAs;
    ASSERT_TRUE(
        std::regex_search(result.out, installAs, std::regex(R"(/etc/udev/rules\.d/(\S+\.rules))")));
    EXPECT_LT(installAs[1].str(), "73-seat-late.rules");
    EXPECT_THAT(result.out, HasSubstr("udevadm control --reload-rules"));
}

TEST(UdevRules, AMapThatNamesNoBoardGivesNoRulesAndSaysWhy) {
    TempDir dir;
    const std::string empty = dir.path() + "/empty.txt";
    std::ofstream(empty) << "# nothing yet\n";
    for (const std::string& map : {empty, dir.path() + "/missing.txt"}) {
        const Outcome result = run({"udev-rules", "--map", map});
        EXPECT_EQ(result.code, 1);
        EXPECT_THAT(result.out, IsEmpty());
        EXPECT_THAT(result.err, HasSubstr(map + " names no board"));
    }
    // Without --map, the library's own device map (KXCX_DEVICE_MAP) is read.
    const ScopedEnv variable("KXCX_DEVICE_MAP", empty.c_str());
    EXPECT_THAT(run({"udev-rules"}).err, HasSubstr(empty + " names no board"));
    EXPECT_EQ(run({"udev-rules", "--map"}).code, 2);
    EXPECT_EQ(run({"udev-rules", "extra"}).code, 2);
}
