// The commands that read a file of the user's: the register file and gamma tables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "BoardCommandsFixture.h"
#include "FifoFeeder.h"

using testing::HasSubstr;

namespace {

const char* const kRegisterFile = ";(a) sensor controller system reset\n6A 3003 20\n6A 3004 21\n";

}  // namespace

TEST_F(BoardCommands, RegisterFileThatIsNoRegularFileIsNotWaitedFor) {
    plug("");
    const FifoFeeder pipe("f", kRegisterFile);
    const Outcome sent = run({"regfile", "f", "--quiet"});
    EXPECT_EQ(sent.code, 1);
    EXPECT_EQ(sent.out, "");
    EXPECT_EQ(sent.err, "kxcxctl regfile: cannot open f: it is not a regular file\n");
    // The second variant's open sends its register file too.
    plug("MV3318");
    const Outcome opened = run({"versions", "--regfile", "f"});
    EXPECT_EQ(opened.code, 1);
    EXPECT_EQ(opened.err,
              "kxcxctl versions: MV3318-x7654_00 could not be opened: the library log in " +
                  logs.path() + " says why (-v shows it here)\n");
    EXPECT_THAT(toolLog(),
                HasSubstr("Sending register file f refused: it is not a regular file\n"));
    EXPECT_EQ(pipe.readers(), 0);
}

TEST_F(BoardCommands, RegisterFileWhoseWritesFailFailsAndTheLogNamesTheFirstLine) {
    plug("RT4207,timeouts=on");
    std::ofstream("regs.txt") << kRegisterFile;
    const Outcome sent = run({"regfile", "regs.txt", "--quiet"});
    EXPECT_EQ(sent.code, 1);
    EXPECT_EQ(sent.out, "");
    EXPECT_EQ(sent.err,
              "kxcxctl regfile: the board did not take every register write: the library log in " +
                  logs.path() + " names the first failed line (-v shows it here)\n");
    EXPECT_THAT(toolLog(),
                HasSubstr("Sending register file regs.txt: line 2 was not written: 6A 3003 20\n"));
    // The second variant does not open on a register file its sensor did not take.
    plug("MV3318,timeouts=on");
    EXPECT_THAT(run({"versions", "--regfile", "regs.txt"}).err,
                HasSubstr("MV3318-x7654_00 could not be opened: "));
}

TEST_F(BoardCommands, RegisterFileLinesNotSentAsWrittenAreWarnedAbout) {
    plug("");
    std::ofstream("regs.txt") << "; header\n"
                                 ";(a) sensor controller system reset\n"
                                 "6A 3003 20\n"
                                 "hello\n"
                                 "6A 3004\n"
                                 "6A 30O4 21\n"
                                 "; comment\n"
                                 "\n"
                                 "  \n";
    const Outcome sent = run({"regfile", "regs.txt", "--quiet"});
    EXPECT_EQ(sent.code, 0) << sent.err;
    EXPECT_EQ(sent.err,
              "kxcxctl regfile: regs.txt:4: warning: the line holds no register data and is "
              "skipped: hello\n"
              "kxcxctl regfile: regs.txt:5: warning: the line holds 2 of 3 numbers, the missing "
              "count as 0: 6A 3004\n"
              "kxcxctl regfile: regs.txt:6: warning: the line holds 2 of 3 numbers, the missing "
              "count as 0; what follows the numbers is not read: 6A 30O4 21\n"
              "kxcxctl regfile: regs.txt:9: warning: the line holds no register data and is "
              "skipped\n");
}

TEST_F(BoardCommands, GammaFileThatCannotBeReadIsNotSent) {
    plug("");
    std::filesystem::create_directory("tables");
    const auto slot = [this] { return host.board("sim:RT4207-x6B6B:0")->gammaSlot(9); };
    const auto before = slot();
    for (const auto& [file, reason] :
         {std::pair<std::string, std::string>{"nothere.txt", "there is no such file"},
          {"tables", "it is a folder"}}) {
        SCOPED_TRACE(file);
        const Outcome result = run({"gamma", "upload", "9", file});
        EXPECT_EQ(result.code, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "kxcxctl gamma: cannot read " + file + ": " + reason + "\n");
    }
    EXPECT_EQ(slot(), before);
    // Without a file the identity table is what is asked for.
    EXPECT_EQ(run({"gamma", "upload", "9"}).code, 0);
    EXPECT_NE(slot(), before);
}

TEST_F(BoardCommands, GammaLinesWithoutLevelsAndLinesPastTheTableAreWarnedAbout) {
    plug("");
    {
        std::ofstream table("table.txt");
        table << "0.0 0\nabc\n0.2\n0.3 5 note\n";
        for (int k = 4; k < 1030; ++k) {
            table << "0.5 " << k << "\n";
        }
    }
    const Outcome result = run({"gamma", "upload", "0", "table.txt"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "table 0: 1024 entries from table.txt\n");
    EXPECT_EQ(result.err,
              "kxcxctl gamma: table.txt:2: warning: the line holds no output level, entry 1 is 0: "
              "abc\n"
              "kxcxctl gamma: table.txt:3: warning: the line holds no output level, entry 2 is 0: "
              "0.2\n"
              "kxcxctl gamma: table.txt:1025: warning: lines 1025 to 1030 are not used: a table "
              "holds 1024 entries\n");
    // A type-3 line holds four pairs; --quiet is taken as by every loader.
    std::ofstream("pairs.txt") << "0 1 0 2 0 3 0 4\n0 1 0 2\n";
    const Outcome pairs = run({"gamma", "upload", "5", "pairs.txt", "--type", "3", "--quiet"});
    EXPECT_EQ(pairs.code, 0);
    EXPECT_EQ(
        pairs.err,
        "kxcxctl gamma: pairs.txt:2: warning: the line holds 2 of 4 pairs, the missing levels "
        "are 0: 0 1 0 2\n");
    // A file of nothing but noise is not told line by line.
    {
        std::ofstream noise("noise.txt");
        for (int k = 0; k < 15; ++k) {
            noise << "noise\n";
        }
    }
    const Outcome noisy = run({"gamma", "upload", "0", "noise.txt"});
    // Ten lines, then how many more.
    EXPECT_EQ(std::count(noisy.err.begin(), noisy.err.end(), '\n'), 11);
    EXPECT_THAT(noisy.err,
                HasSubstr("kxcxctl gamma: noise.txt: warning: 5 more lines like these\n"));
}
