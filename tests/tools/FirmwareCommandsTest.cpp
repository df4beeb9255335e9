#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "BoardCommandsFixture.h"

using testing::HasSubstr;
using testing::Not;

namespace {

class FirmwareCommands : public BoardCommands {
protected:
    // The shipped images in the current folder, where the loaders look by default.
    FirmwareCommands() {
        std::filesystem::copy(KX_DATA_DIR, ".", std::filesystem::copy_options::recursive);
    }
};

}  // namespace

TEST_F(FirmwareCommands, FpgaLoadReplacesTheDesignAndStartsIt) {
    plug("RT4207,fpga=1.20");
    const Outcome loaded = run({"fpga", "load"});
    EXPECT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_THAT(loaded.out, HasSubstr("loaded firmware/default.bit: "));
    EXPECT_THAT(loaded.out, HasSubstr(" bytes, FPGA done\n"));
    EXPECT_THAT(loaded.err, HasSubstr("] 100%"));
    EXPECT_THAT(run({"versions"}).out, HasSubstr("FPGA          1.30"));
    EXPECT_EQ(run({"fpga", "init"}).out, "FPGA started\n");
    const Outcome quiet = run({"fpga", "load", "firmware/fpga_1_20.bit", "--quiet"});
    EXPECT_THAT(quiet.err, Not(HasSubstr("[")));
    EXPECT_THAT(run({"versions"}).out, HasSubstr("FPGA          1.20"));
    EXPECT_THAT(run({"fpga", "load", "none.bit"}).err,
                HasSubstr("kxcxctl fpga: cannot open none.bit\n"));
    EXPECT_EQ(run({"fpga", "start"}).code, 2);
}

TEST_F(FirmwareCommands, FlashProgramVerifiesAndVerifyNoticesAnErasedFlash) {
    for (const char* board : {"RT4207,flash=sst", "RT4207,flash=page"}) {
        SCOPED_TRACE(board);
        plug(board);
        const Outcome programmed = run({"flash", "program", "--verify", "--quiet"});
        EXPECT_EQ(programmed.code, 0) << programmed.err;
        EXPECT_THAT(programmed.out, HasSubstr("flash matches firmware/default.mcs: "));
        // The board keeps its flash between runs.
        EXPECT_EQ(run({"flash", "verify"}).code, 0);
        EXPECT_EQ(run({"flash", "erase", "--quiet"}).code, 0);
        EXPECT_THAT(run({"flash", "verify"}).err,
                    HasSubstr("differs from firmware/default.mcs at 0x"));
    }
    plug("RT4207,flash=unknown");
    EXPECT_THAT(run({"flash", "program", "--quiet"}).err,
                HasSubstr("kxcxctl flash: the flash is of an unknown maker\n"));
}

TEST_F(FirmwareCommands, FlashEraseDrawsItsProgressAFewTimesASecond) {
    plug("RT4207,erase=600");
    const Outcome erased = run({"flash", "erase"});
    EXPECT_EQ(erased.code, 0) << erased.err;
    // 0.6 s at four drawings a second and the last: a handful, not one for each poll of the
    // flash's busy bit.
    EXPECT_LE(std::count(erased.err.begin(), erased.err.end(), '\r'), 8);
    EXPECT_THAT(erased.err, HasSubstr("] 100%\n"));
}

TEST_F(FirmwareCommands, FlashProgramOfAMissingImageSaysWhereTheLogIs) {
    plug("");
    const Outcome programmed = run({"flash", "program", "none.mcs", "--quiet"});
    EXPECT_EQ(programmed.code, 1);
    EXPECT_EQ(programmed.err,
              "kxcxctl flash: cannot program none.mcs, missing or damaged: the library log in " +
                  logs.path() + " says why (-v shows it here)\n");
    EXPECT_THAT(toolLog(), HasSubstr("none.mcs is no regular file to read\n"));
}

TEST_F(FirmwareCommands, ControllerProgramAndBootImage) {
    plug("RT4207,mcu=1.07");
    const Outcome loaded = run({"mcu", "load", "firmware/mcu_1_05.hex", "--quiet"});
    EXPECT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_THAT(loaded.out, HasSubstr("the board leaves the bus and comes back"));
    EXPECT_THAT(run({"versions"}).out, HasSubstr("MCU firmware  1.05"));
    const Outcome boot = run({"eeprom", "write", "--quiet"});
    EXPECT_EQ(boot.code, 0) << boot.err;
    EXPECT_THAT(boot.out,
                HasSubstr("loaded firmware/default.iic: " +
                          std::to_string(std::filesystem::file_size("firmware/default.iic")) +
                          " bytes\nverified "));
    std::ofstream("broken.hex") << ":0300300002337A1F\n";
    EXPECT_EQ(run({"mcu", "load", "broken.hex"}).code, 1);
}

TEST_F(FirmwareCommands, GammaTablesRoundTripThroughTheirTextFiles) {
    plug("");
    EXPECT_EQ(run({"gamma", "upload", "2", "gamma/Lookup1024_2.txt"}).out,
              "table 2: 1024 entries from gamma/Lookup1024_2.txt\n");
    EXPECT_EQ(run({"gamma", "download", "2", "--out", "saved.txt"}).out,
              "table 2: 4096 bytes read, saved to saved.txt\n");
    EXPECT_EQ(run({"gamma", "upload", "5", "saved.txt", "--type", "3"}).code, 0);
    EXPECT_EQ(run({"gamma", "download", "5", "--out", "again.txt"}).code, 0);
    std::ifstream first("saved.txt");
    std::ifstream second("again.txt");
    const std::string a((std::istreambuf_iterator<char>(first)), std::istreambuf_iterator<char>());
    const std::string b((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(a.begin(), a.end(), '\n'), 1024);
    EXPECT_EQ(a, b);
    EXPECT_EQ(run({"gamma", "upload", "0"}).out,
              "table 0: no table file, the identity table was sent\n");
    std::ofstream("empty.txt").close();
    EXPECT_EQ(run({"gamma", "upload", "1", "empty.txt"}).out,
              "table 1: empty.txt holds no lines, every level is 0\n");
    host.board("sim:RT4207-x6B6B:0")->setFpgaRegister(0x60, 1);
    EXPECT_EQ(run({"gamma", "download", "0"}).err, "kxcxctl gamma: the FPGA is busy\n");
    EXPECT_EQ(run({"gamma", "upload", "x"}).code, 2);
}
