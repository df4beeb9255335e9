#include <gtest/gtest.h>

#include "HarnviewCommandLine.h"

using hv::HarnviewCommandLine;
using hv::HarnviewOptions;

TEST(HarnviewCommandLine, NoArgumentsRunsTheViewerOnTheUsbBus) {
    const HarnviewOptions options = HarnviewCommandLine::parse({});
    EXPECT_EQ(options.action, HarnviewOptions::Run);
    EXPECT_FALSE(options.simulate);
}

TEST(HarnviewCommandLine, SimulateRunsTheViewerOnTheSimulatedBoard) {
    const HarnviewOptions options = HarnviewCommandLine::parse({"--simulate"});
    EXPECT_EQ(options.action, HarnviewOptions::Run);
    EXPECT_TRUE(options.simulate);
}

TEST(HarnviewCommandLine, RootNamesTheViewersWorkingFolder) {
    const HarnviewOptions options =
        HarnviewCommandLine::parse({"--root", "/srv/scope", "--simulate"});
    EXPECT_EQ(options.action, HarnviewOptions::Run);
    EXPECT_TRUE(options.simulate);
    EXPECT_EQ(options.folder, "/srv/scope");
    EXPECT_EQ(HarnviewCommandLine::parse({}).folder, "");
}

TEST(HarnviewCommandLine, HelpWinsOverEverythingElseAndVersionOverTheRest) {
    EXPECT_EQ(HarnviewCommandLine::parse({"--version", "-h"}).action, HarnviewOptions::PrintHelp);
    EXPECT_EQ(HarnviewCommandLine::parse({"--add-user", "a", "--version"}).action,
              HarnviewOptions::PrintVersion);
    EXPECT_EQ(HarnviewCommandLine::parse({"--simulate", "--help"}).action,
              HarnviewOptions::PrintHelp);
}

TEST(HarnviewCommandLine, AddUserTakesItsNameTypeAndFolderInAnyOrder) {
    const HarnviewOptions options = HarnviewCommandLine::parse(
        {"--root", "/srv/scope", "--add-user", "admin", "--type", "Admin"});
    EXPECT_EQ(options.action, HarnviewOptions::AddUser);
    EXPECT_EQ(options.userName, "admin");
    EXPECT_EQ(options.userType, "Admin");
    EXPECT_EQ(options.folder, "/srv/scope");
}

TEST(HarnviewCommandLine, IncompleteOrStrayArgumentsAreRefusedWithTheReason) {
    struct Case {
        std::vector<std::string> arguments;
        std::string problem;
    };
    const Case cases[] = {
        {{"--add-user", "admin"}, "--add-user needs --type TYPE"},
        {{"--add-user"}, "--add-user needs NAME"},
        {{"--add-user", "admin", "--type"}, "--type needs TYPE"},
        {{"--type", "Admin"}, "--type goes with --add-user"},
        {{"--root", "/tmp", "--type", "Admin"}, "--type goes with --add-user"},
        {{"--root"}, "--root needs DIR"},
        {{"--simulat"}, "unknown argument: --simulat"},
        {{"login.txt"}, "unknown argument: login.txt"},
    };
    for (const Case& c : cases) {
        const HarnviewOptions options = HarnviewCommandLine::parse(c.arguments);
        EXPECT_EQ(options.action, HarnviewOptions::Refuse) << c.problem;
        EXPECT_EQ(options.problem, c.problem);
    }
}

TEST(HarnviewCommandLine, VersionAndHelpTextsNameTheProgramAndEveryOption) {
    EXPECT_EQ(HarnviewCommandLine::versionText(), "Harnview 1.02\n");
    const std::string help = HarnviewCommandLine::helpText();
    for (const char* option :
         {"--simulate", "--add-user NAME", "--type TYPE", "--root DIR", "--version", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_NE(help.find("  --root DIR        the working folder (default $VELQUIN_ROOT, else "
                        "$HOME/Velquin)\n"),
              std::string::npos)
        << help;
}
