#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "CommandTable.h"
#include "McuCommand.h"

using testing::ElementsAre;

namespace {

int answerOne(const std::vector<std::string>&, std::ostream&, std::ostream&) {
    return 1;
}

int answerTwo(const std::vector<std::string>&, std::ostream&, std::ostream&) {
    return 2;
}

}  // namespace

TEST(CommandTable, EveryCommandIsFoundByItsOwnName) {
    const CommandTable& table = CommandTable::commands();
    std::set<std::string_view> names;
    for (const CommandEntry& entry : table.entries()) {
        EXPECT_TRUE(names.insert(entry.name).second) << entry.name << " is listed twice";
        EXPECT_EQ(table.find(entry.name), &entry) << entry.name;
        EXPECT_NE(entry.run, nullptr) << entry.name;
    }
    EXPECT_EQ(table.find("frobnicate"), nullptr);
    EXPECT_EQ(table.find(""), nullptr);
    EXPECT_EQ(table.find("--version"), nullptr);  // the tool's own option, not a command
}

TEST(CommandTable, EveryHelpLineStartsWithItsCommandsName) {
    for (const CommandEntry& entry : CommandTable::commands().entries()) {
        ASSERT_FALSE(entry.usage.empty()) << entry.name;
        for (std::string_view line : entry.usage) {
            EXPECT_EQ(line.substr(0, entry.name.size() + 1), std::string(entry.name) + " ") << line;
        }
    }
}

TEST(CommandTable, McuAndEepromAreTheControllerCommandsTwoRunners) {
    const CommandTable& table = CommandTable::commands();
    ASSERT_NE(table.find("mcu"), nullptr);
    ASSERT_NE(table.find("eeprom"), nullptr);
    EXPECT_EQ(table.find("mcu")->run, &McuCommand::runMcu);
    EXPECT_EQ(table.find("eeprom")->run, &McuCommand::runEeprom);
}

TEST(CommandTable, UsageWritesEachLineIndentedInTableOrder) {
    const CommandTable table(
        {{"second", {"second A   first line", "second B   next line"}, &answerTwo},
         {"first", {"first      one line"}, &answerOne}});
    std::ostringstream out;
    table.writeUsage(out);
    EXPECT_EQ(out.str(),
              "  second A   first line\n"
              "  second B   next line\n"
              "  first      one line\n");
    std::ostringstream ignored;
    EXPECT_EQ(table.find("first")->run({}, ignored, ignored), 1);
    EXPECT_EQ(table.find("second")->run({}, ignored, ignored), 2);
}
