#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "BoardCommandsFixture.h"
#include "UnplugDuringErase.h"
#include "firmware/IntelHex.h"

using testing::HasSubstr;
using testing::Not;

namespace {

class FirmwareCommands : public BoardCommands {
protected:
    // The shipped images in the current folder, where the loaders look by default.
    FirmwareCommands() {
        std::filesystem::copy(KX_DATA_DIR, ".", std::filesystem::copy_options::recursive);
    }

    std::shared_ptr<boardsim::CameraBoard> board() { return host.board("sim:RT4207-x6B6B:0"); }

    // The first lines of a shipped image: cut at a line boundary, without its end record.
    static void cut(const std::string& name, const std::string& image, int lines) {
        std::ifstream in(image);
        std::ofstream out(name);
        std::string line;
        for (int i = 0; i < lines && std::getline(in, line); ++i) {
            out << line << "\n";
        }
    }

    // 4 KiB that are no image of any kind.
    static void noise(const std::string& name) {
        std::ofstream out(name, std::ios::binary);
        uint32_t seed = 7;
        for (int i = 0; i < 4096; ++i) {
            seed = seed * 1103515245u + 12345u;
            out.put(static_cast<char>(i == 0 ? 0x00 : seed >> 16));
        }
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

TEST_F(FirmwareCommands, FlashProgramOfAMissingImageSaysWhyBeforeTheBoardIsOpened) {
    plug("");
    const Outcome programmed = run({"flash", "program", "none.mcs", "--quiet"});
    EXPECT_EQ(programmed.code, 1);
    EXPECT_EQ(programmed.err, "kxcxctl flash: cannot program none.mcs: it is no readable file\n");
    EXPECT_EQ(toolLog(), "");
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

TEST_F(FirmwareCommands, FlashCommandsCheckTheWholeImageBeforeTheFlashIsTouched) {
    plug("RT4207,flash=page");
    const std::vector<uint8_t> factory = board()->flashContents();
    std::filesystem::create_directory("folder.mcs");
    ASSERT_EQ(mkfifo("fifo.mcs", 0600), 0);
    std::ofstream("empty.mcs").close();
    std::ofstream("text.mcs") << "hello\n";
    std::ofstream("damaged.mcs") << ":10000000000102030405060708090A0B0C0D0E0F79\n:00000001FF\n";
    cut("cut.mcs", "firmware/default.mcs", 517);
    const std::pair<std::string, std::string> refused[] = {
        {"no_such.mcs", "it is no readable file"},
        {"folder.mcs", "it is no readable file"},
        {"fifo.mcs", "it is no readable file"},
        {"/dev/zero", "it is no readable file"},
        {"damaged.mcs", "line 1 is damaged"},
        {"empty.mcs", "it holds no Intel HEX records"},
        {"text.mcs", "it holds no Intel HEX records"},
        {"firmware/default.bit", ""},
        {"cut.mcs", "it has no end-of-file record"},
    };
    for (const auto& [file, reason] : refused) {
        SCOPED_TRACE(file);
        const Outcome programmed = run({"flash", "program", file, "--verify", "--quiet"});
        EXPECT_EQ(programmed.code, 1);
        EXPECT_EQ(programmed.out, "");
        EXPECT_THAT(programmed.err,
                    HasSubstr("kxcxctl flash: cannot program " + file + ": " + reason));
        EXPECT_EQ(board()->flashContents(), factory);
        const Outcome verified = run({"flash", "verify", file});
        EXPECT_EQ(verified.code, 1);
        EXPECT_THAT(verified.err, HasSubstr("kxcxctl flash: cannot read " + file + ": " + reason));
    }
    noise("noise.bin");
    EXPECT_THAT(run({"flash", "verify", "noise.bin"}).err,
                HasSubstr("kxcxctl flash: cannot read noise.bin: "));
    // An image beyond the end of a 64 KiB flash.
    plug("RT4207,flash=page,flashsize=64");
    std::ofstream("high.mcs") << boardsim::IntelHex::write(std::vector<uint8_t>(16, 0), 0x10000,
                                                           16);
    const std::vector<uint8_t> small = board()->flashContents();
    const Outcome high = run({"flash", "program", "high.mcs", "--quiet"});
    EXPECT_EQ(high.code, 1);
    EXPECT_EQ(high.out, "");
    EXPECT_THAT(high.err, HasSubstr("kxcxctl flash: cannot program high.mcs: it needs 65552 "
                                    "bytes of flash, the flash holds 65536\n"));
    EXPECT_EQ(board()->flashContents(), small);
}

TEST_F(FirmwareCommands, McuLoadAndEepromWriteRefuseWhatIsNoProgramOrBootImage) {
    plug("RT4207,mcu=1.07");
    const std::vector<uint8_t> boot = board()->bootEeprom();
    std::ofstream("empty.hex").close();
    std::ofstream("text.hex") << "hello\n";
    cut("cut.hex", "firmware/default.hex", 4);
    noise("noise.bin");
    for (const auto& [file, reason] : {std::pair{"empty.hex", "it holds no Intel HEX records"},
                                       std::pair{"text.hex", "it holds no Intel HEX records"},
                                       std::pair{"cut.hex", "it has no end-of-file record"}}) {
        SCOPED_TRACE(file);
        const Outcome loaded = run({"mcu", "load", file, "--quiet"});
        EXPECT_EQ(loaded.code, 1);
        EXPECT_EQ(loaded.out, "");
        EXPECT_THAT(loaded.err, HasSubstr(std::string("kxcxctl mcu: cannot load ") + file + ": " +
                                          reason + "\n"));
    }
    EXPECT_FALSE(board()->cpuHeld());
    EXPECT_EQ(board()->mcuVersion(), 0x0107);
    for (const char* file : {"empty.hex", "noise.bin", "firmware/default.hex"}) {
        SCOPED_TRACE(file);
        const Outcome written = run({"eeprom", "write", file, "--quiet"});
        EXPECT_EQ(written.code, 1);
        EXPECT_EQ(written.out, "");
        EXPECT_THAT(written.err, HasSubstr(std::string("kxcxctl eeprom: cannot write ") + file +
                                           ": it has no boot image header\n"));
    }
    EXPECT_EQ(board()->bootEeprom(), boot);
}

TEST_F(FirmwareCommands, FailedTransfersNameTheirCause) {
    plug("RT4207,timeouts=on");
    const std::pair<std::vector<std::string>, std::string> failing[] = {
        {{"mcu", "load"}, "kxcxctl mcu: loading firmware/default.hex failed: transfer timed out\n"},
        {{"eeprom", "write"},
         "kxcxctl eeprom: writing firmware/default.iic failed: transfer timed out\n"},
        {{"fpga", "load"},
         "kxcxctl fpga: loading firmware/default.bit failed: transfer timed out\n"},
        {{"flash", "erase"}, "kxcxctl flash: erasing failed: transfer timed out\n"},
    };
    for (auto [args, message] : failing) {
        SCOPED_TRACE(args.front());
        args.push_back("--quiet");
        const Outcome failed = run(args);
        EXPECT_EQ(failed.code, 1);
        EXPECT_EQ(failed.out, "");
        EXPECT_EQ(failed.err, message);
    }
    plug("RT4207,erase=3000");
    const Outcome removed = [&] {
        UnplugDuringErase unplug(host, "sim:RT4207-x6B6B:0");
        return run({"flash", "program", "--quiet"});
    }();
    EXPECT_EQ(removed.code, 1);
    EXPECT_EQ(removed.out, "");
    EXPECT_EQ(removed.err, "kxcxctl flash: erasing failed: the board was removed\n");
}

TEST_F(FirmwareCommands, AControllerLoadThatSucceedsPrintsNoErrorRecords) {
    plug("RT4207");
    testing::internal::CaptureStderr();
    const Outcome loaded = run({"-v", "mcu", "load", "--quiet"});
    const std::string echoed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_THAT(echoed, HasSubstr("Core session started on "));
    EXPECT_THAT(echoed, Not(HasSubstr("[e]")));
}
