// kxcxctl udev-rules: what a user installs so that the boards of the device map open without root.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <optional>
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

// The "vendor:product" of a rule line in the form the tool writes (udev's syntax: comma-separated
// KEY==/KEY+= pairs with quoted values), or none for any other line.
std::optional<std::string> ruleIds(const std::string& line) {
    const std::string head = R"(SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device", ATTR{idVendor}==")";
    const std::string middle = R"(", ATTR{idProduct}==")";
    const std::string tail = R"(", TAG+="uaccess")";
    const auto hex4 = [](const std::string& text) {
        if (text.size() != 4) {
            return false;
        }
        for (const char c : text) {
            if (!std::isxdigit(static_cast<unsigned char>(c)) ||
                std::isupper(static_cast<unsigned char>(c))) {
                return false;
            }
        }
        return true;
    };
    if (line.size() != head.size() + 4 + middle.size() + 4 + tail.size() ||
        line.compare(0, head.size(), head) != 0 ||
        line.compare(head.size() + 4, middle.size(), middle) != 0 ||
        line.compare(line.size() - tail.size(), tail.size(), tail) != 0) {
        return std::nullopt;
    }
    const std::string vendor = line.substr(head.size(), 4);
    const std::string product = line.substr(head.size() + 4 + middle.size(), 4);
    if (!hex4(vendor) || !hex4(product)) {
        return std::nullopt;
    }
    return vendor + ":" + product;
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

    std::vector<std::string> pairs;
    for (const std::string& line : linesOf(result.out)) {
        if (const auto ids = ruleIds(line)) {
            pairs.push_back(*ids);
        } else {
            EXPECT_TRUE(line.empty() || line[0] == '#') << "not a rule or comment: " << line;
        }
    }
    EXPECT_EQ(pairs, (std::vector<std::string>{"04b4:1004", "04b4:8613"}));
    EXPECT_THAT(result.out, HasSubstr("# MV3318-x7654 (line 3 of the map)"));
    // The file is named to sort before 73-seat-late.rules, which turns the tag into the seat
    // user's access: a later file would tag the board too late.
    const std::string folder = "/etc/udev/rules.d/";
    const std::size_t at = result.out.find(folder);
    ASSERT_NE(at, std::string::npos);
    const std::string name =
        result.out.substr(at + folder.size(), result.out.find(',', at) - at - folder.size());
    EXPECT_TRUE(name.ends_with(".rules")) << name;
    EXPECT_LT(name, "73-seat-late.rules");
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
