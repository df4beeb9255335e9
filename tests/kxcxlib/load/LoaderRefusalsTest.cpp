// What the loaders refuse before anything reaches the board (files that are no image for the
// target), and how a transfer that fails on the way ends a load.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "SimDeviceFixture.h"
#include "UnplugDuringErase.h"
#include "device/kxCamContext.h"
#include "firmware/BootImage.h"
#include "firmware/IntelHex.h"

using boardsim::BootImage;
using boardsim::IntelHex;
using testing::HasSubstr;
using testing::Not;

namespace {

class LoaderRefusals : public SimDeviceFixture {
protected:
    std::shared_ptr<boardsim::CameraBoard> board() { return host.board("sim:RT4207-x6B6B:0"); }

    static std::string data(const std::string& relative) {
        return std::string(KX_DATA_DIR) + "/" + relative;
    }

    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The first lines of a shipped image: cut at a line boundary, without its end record.
    std::string cut(const std::string& name, const std::string& relative, int lines) {
        std::ifstream in(data(relative));
        std::string text;
        std::string line;
        for (int i = 0; i < lines && std::getline(in, line); ++i) {
            text += line + "\n";
        }
        return writeFile(name, text);
    }

    std::string bytes(const std::string& name, const std::vector<uint8_t>& content) {
        return writeFile(name, std::string(content.begin(), content.end()));
    }
};

}  // namespace

TEST_F(LoaderRefusals, FlashImagesWithoutAnEndRecordOrDataReachNothing) {
    CamContext* handle = openBoard("RT4207,flash=page");
    uint16_t status[3] = {};
    ASSERT_EQ(eraseFpgaFromFlash(handle, status, nullptr), 0);
    std::filesystem::copy_file(data("firmware/default.bit"), "design.bit");
    const std::pair<std::string, std::string> refused[] = {
        {writeFile("empty.mcs", ""), "it holds no Intel HEX records"},
        {writeFile("text.mcs", "hello\n"), "it holds no Intel HEX records"},
        {"design.bit", ""},
        {cut("cut.mcs", "firmware/default.mcs", 517), "it has no end-of-file record"},
        // Records of other than 16 bytes are not programmed.
        {writeFile("short.mcs", ":0410100001020304D2\n:00000001FF\n"), "it holds no data"},
        {writeFile("after.mcs", ":00000001FF\n:10000000000102030405060708090A0B0C0D0E0F78\n"),
         "line 2 follows the end-of-file record"},
    };
    for (const auto& [file, reason] : refused) {
        SCOPED_TRACE(file);
        clearLog();
        int size = -7;
        EXPECT_EQ(uploadFpgaFirmwareToFlash(handle, &size, file.c_str(), nullptr), -1);
        EXPECT_EQ(size, 0);
        EXPECT_TRUE(controls().empty());
        EXPECT_THAT(logText(), HasSubstr("Loading Firmware To SPI Flash from " + file +
                                         " refused: " + reason));
    }
}

TEST_F(LoaderRefusals, AFlashImageLargerThanTheFlashIsRefusedBeforeItsFirstWrite) {
    // One record beyond 64 KiB for a page flash; 4097 records in a row for a word flash.
    writeFile("high.mcs", IntelHex::write(std::vector<uint8_t>(16, 0x5A), 0x10000, 16));
    writeFile("long.mcs", IntelHex::write(std::vector<uint8_t>(65536 + 16, 0x5A), 0, 16));
    for (const auto& [description, file] :
         {std::pair{"RT4207,flash=page,flashsize=64", "high.mcs"},
          std::pair{"RT4207,flash=sst,flashsize=64", "long.mcs"}}) {
        SCOPED_TRACE(description);
        CamContext* handle = openBoard(description);
        uint16_t status[3] = {};
        ASSERT_EQ(eraseFpgaFromFlash(handle, status, nullptr), 0);
        clearLog();
        int size = 0;
        EXPECT_EQ(uploadFpgaFirmwareToFlash(handle, &size, file, nullptr), -1);
        for (const auto& control : controls()) {
            // Identifications only (the opcode stands just below the count): no write enable,
            // no status write, no program.
            if (control.setup.request == 0xA9 && (control.setup.requestType & 0x80) == 0) {
                ASSERT_GE(control.data.size(), 2u);
                EXPECT_EQ(control.data[control.data.size() - 2], 0x9F);
            }
        }
        EXPECT_EQ(controls().back().setup.request, 0xAA);  // programming mode left again
        EXPECT_THAT(logText(), HasSubstr(std::string("Loading Firmware To SPI Flash from ") + file +
                                         " refused: it needs 65552 bytes of flash, the "
                                         "flash holds 65536"));
        EXPECT_THAT(board()->flashContents(), testing::Each(0xFF));
    }
}

TEST_F(LoaderRefusals, McuProgramsMustEndHoldDataAndStayInProgramRam) {
    CamContext* handle = openBoard("RT4207,mcu=1.07");
    const std::pair<std::string, std::string> refused[] = {
        {writeFile("empty.hex", ""), "it holds no Intel HEX records"},
        {writeFile("text.hex", "hello\n"), "it holds no Intel HEX records"},
        {cut("cut.hex", "firmware/default.hex", 4), "it has no end-of-file record"},
        {writeFile("end.hex", ":00000001FF\n"), "it holds no data"},
        {writeFile("high.hex", IntelHex::write(std::vector<uint8_t>{1, 2, 3}, 0x3FFE, 16)),
         "line 2 writes 0x3FFE-0x4000, outside the controller's program RAM (0x0000-0x3FFF)"},
        // The CPU control register is the loader's, not the program's.
        {writeFile("control.hex", IntelHex::write(std::vector<uint8_t>{0}, 0xE600, 16)),
         "line 2 writes 0xE600-0xE600, outside"},
        {writeFile("far.hex", IntelHex::write(std::vector<uint8_t>{1}, 0x10000, 16)),
         "line 2 writes 0x10000-0x10000, outside"},
    };
    for (const auto& [file, reason] : refused) {
        SCOPED_TRACE(file);
        clearLog();
        EXPECT_EQ(uploadMcuFirmware(handle, file.c_str(), nullptr), -1);
        EXPECT_TRUE(controls().empty());
        EXPECT_THAT(logText(), HasSubstr("Uploading firmware " + file + " refused: " + reason));
    }
    EXPECT_FALSE(board()->cpuHeld());
    EXPECT_EQ(board()->mcuVersion(), 0x0107);
}

TEST_F(LoaderRefusals, OnlyABootImageReachesTheBootEeprom) {
    CamContext* handle = openBoard("");
    const std::vector<uint8_t> before = board()->bootEeprom();
    const std::string image = contents(data("firmware/default.iic"));
    std::vector<uint8_t> noise(4096);
    uint32_t seed = 7;
    for (uint8_t& byte : noise) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(seed >> 16);
    }
    noise[0] = 0x00;
    BootImage outside;
    outside.records = {{0x3FFF, {0x01, 0x02}}};
    std::vector<uint8_t> held = BootImage().write();
    held.back() = 0x01;  // the last record holds the CPU instead of starting it
    const std::pair<std::string, std::string> refused[] = {
        {writeFile("empty.iic", ""), "it has no boot image header"},
        {bytes("noise.iic", noise), "it has no boot image header"},
        {writeFile("program.iic", contents(data("firmware/default.hex"))),
         "it has no boot image header"},
        {writeFile("cut.iic", image.substr(0, image.size() - 10)),
         "the record at byte 30 runs past the end of the file"},
        {writeFile("trailing.iic", image + "xx"), "2 bytes follow the last record"},
        {bytes("outside.iic", outside.write()),
         "the record at byte 8 loads 0x3FFF-0x4000, outside the controller's program RAM"},
        {bytes("held.iic", held), "its last record does not start the controller's CPU"},
        {bytes("open.iic", std::vector<uint8_t>(held.begin(), held.end() - 5)),
         "it ends without the last record"},
    };
    for (const auto& [file, reason] : refused) {
        SCOPED_TRACE(file);
        clearLog();
        EXPECT_EQ(uploadMcuFirmwareToEeprom(handle, file.c_str(), nullptr), -1);
        EXPECT_TRUE(controls().empty());
        EXPECT_THAT(logText(), HasSubstr("Writing boot image " + file + " refused: " + reason));
    }
    EXPECT_EQ(board()->bootEeprom(), before);
    EXPECT_EQ(uploadMcuFirmwareToEeprom(handle, data("firmware/default.iic").c_str(), nullptr),
              static_cast<int>(image.size()));
}

TEST_F(LoaderRefusals, AFailedTransferFailsEveryLoaderWithThePlatformError) {
    CamContext* handle = openBoard("RT4207");
    board()->setControlTimeouts(-1);
    EXPECT_EQ(uploadMcuFirmware(handle, data("firmware/default.hex").c_str(), nullptr), -ETIMEDOUT);
    // The load ends at the first transfer that failed.
    EXPECT_EQ(controls().size(), 1u);
    uint16_t status[3] = {};
    EXPECT_EQ(eraseFpgaFromFlash(handle, status, nullptr), -ETIMEDOUT);
    EXPECT_FALSE(handle->flashErased);
    handle->flashErased = true;
    int size = 0;
    EXPECT_EQ(
        uploadFpgaFirmwareToFlash(handle, &size, data("firmware/default.mcs").c_str(), nullptr),
        -ETIMEDOUT);
    EXPECT_EQ(uploadFpgaFirmware(handle, &size, data("firmware/default.bit").c_str(), nullptr),
              -ETIMEDOUT);
    EXPECT_EQ(uploadMcuFirmwareToEeprom(handle, data("firmware/default.iic").c_str(), nullptr),
              -ETIMEDOUT);
}

TEST_F(LoaderRefusals, ABoardThatLeavesDuringTheEraseLeavesNoErasedFlash) {
    CamContext* handle = openBoard("RT4207,erase=2000");
    uint16_t status[3] = {};
    {
        UnplugDuringErase unplug(host, "sim:RT4207-x6B6B:0");
        EXPECT_EQ(eraseFpgaFromFlash(handle, status, nullptr), -ENODEV);
    }
    EXPECT_FALSE(handle->flashErased);
}

TEST_F(LoaderRefusals, TheHandleOfARestartedBoardClosesWithoutErrorRecords) {
    CamContext* handle = openBoard("RT4207,mcu=1.07");
    ASSERT_GT(uploadMcuFirmware(handle, data("firmware/mcu_1_05.hex").c_str(), nullptr), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(close(handle), 0);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), Not(HasSubstr("[e]")));
}
