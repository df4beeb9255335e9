#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "SimDeviceFixture.h"
#include "device/kxCamContext.h"

namespace {

using LoaderExports = SimDeviceFixture;

// FPGA register writes (request 0xA9 OUT to slave 0x3C, one byte) in order: {register, value}.
std::vector<std::pair<int, int>> fpgaWrites(const std::vector<kx::SimTransfer>& controls) {
    std::vector<std::pair<int, int>> writes;
    for (const auto& control : controls) {
        if (control.setup.requestType == 0x40 && control.setup.request == 0xA9 &&
            (control.setup.index & 0xFF) == 0x3C && control.data.size() == 1) {
            writes.emplace_back(control.setup.value, control.data[0]);
        }
    }
    return writes;
}

}  // namespace

TEST_F(LoaderExports, ArgumentCodesOfEveryExport) {
    int size = 0;
    uint16_t status[3] = {};
    int version = 0;
    EXPECT_EQ(uploadFpgaFirmware(nullptr, &size, nullptr, nullptr), -2);
    EXPECT_EQ(uploadFpgaFirmwareToFlash(nullptr, &size, nullptr, nullptr), -3);
    // The same missing size gives -3 from one upload and -2 from the other.
    CamContext loose;
    loose.kindTag = 1;
    EXPECT_EQ(uploadFpgaFirmware(&loose, nullptr, nullptr, nullptr), -3);
    EXPECT_EQ(uploadFpgaFirmwareToFlash(&loose, nullptr, nullptr, nullptr), -2);
    EXPECT_EQ(eraseFpgaFromFlash(nullptr, status, nullptr), -2);
    EXPECT_EQ(eraseFpgaFromFlash(&loose, nullptr, nullptr), -3);
    EXPECT_EQ(getMcuFirmwareVersion(nullptr, &version), -2);
    EXPECT_EQ(getMcuFirmwareVersion(&loose, &version), -4);
    EXPECT_EQ(uploadMcuFirmware(&loose, nullptr, nullptr), -4);
    EXPECT_EQ(uploadMcuFirmwareToEeprom(&loose, nullptr, nullptr), -4);
    EXPECT_EQ(initFPGA(nullptr), -2);
    EXPECT_EQ(uploadGammaTable(nullptr, 0, nullptr, 0), -2);
    EXPECT_EQ(downloadGammaTable(nullptr, 0), -2);
    loose.kindTag = 0;
    EXPECT_EQ(getMcuFirmwareVersion(&loose, &version), -3);
    EXPECT_EQ(uploadMcuFirmware(&loose, nullptr, nullptr), -3);
    EXPECT_EQ(initFPGA(&loose), 0);  // nothing to do for this kind
    loose.kindTag = 9;
    EXPECT_EQ(uploadFpgaFirmware(&loose, &size, nullptr, nullptr), -6);
    EXPECT_EQ(uploadFpgaFirmwareToFlash(&loose, &size, nullptr, nullptr), -6);
    EXPECT_EQ(eraseFpgaFromFlash(&loose, status, nullptr), -6);
    EXPECT_EQ(getMcuFirmwareVersion(&loose, &version), -5);
    EXPECT_EQ(uploadMcuFirmwareToEeprom(&loose, nullptr, nullptr), -5);
    EXPECT_EQ(initFPGA(&loose), -4);
    EXPECT_EQ(uploadGammaTable(&loose, 0, nullptr, 0), -5);
    EXPECT_EQ(downloadGammaTable(&loose, 0), -5);
}

TEST_F(LoaderExports, FlashProgrammingNeedsAnEraseFirstAndMissingFilesSendNothing) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    clearLog();
    int size = 77;
    EXPECT_EQ(uploadFpgaFirmwareToFlash(handle, &size, "image.mcs", nullptr), -1);
    EXPECT_EQ(size, 77);  // untouched
    EXPECT_TRUE(controls().empty());
    // No default files in this folder: nothing is sent either.
    EXPECT_EQ(uploadMcuFirmware(handle, nullptr, nullptr), -1);
    EXPECT_EQ(uploadMcuFirmwareToEeprom(handle, nullptr, nullptr), -1);
    EXPECT_TRUE(controls().empty());
    int progress = 0;
    static int* seen = &progress;
    seen = &progress;
    EXPECT_EQ(uploadFpgaFirmware(handle, &size, nullptr, [](int step, bool*) { *seen = step; }), 0);
    EXPECT_EQ(progress, 220);
    EXPECT_TRUE(controls().empty());
}

TEST_F(LoaderExports, DamagedMcuProgramIsRefusedBeforeTheCpuIsHeld) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    writeFile("broken.hex", ":0300300002337A1E\n:0300330002337A1E\n:00000001FF\n");
    clearLog();
    EXPECT_EQ(uploadMcuFirmware(handle, "broken.hex", nullptr), -1);
    EXPECT_TRUE(controls().empty());
    EXPECT_THAT(logText(),
                testing::HasSubstr("Uploading firmware broken.hex refused: line 2 is damaged"));
}

TEST_F(LoaderExports, GammaHandshakeRefusesABusyOrUnreadyFpgaBeforeAnyWrite) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    auto board = host.board("sim:RT4207-x6B6B:0");
    board->setFpgaRegister(0x60, 0x01);
    clearLog();
    EXPECT_EQ(uploadGammaTable(handle, 0, nullptr, 0), -62);
    EXPECT_EQ(downloadGammaTable(handle, 0), -62);
    EXPECT_TRUE(fpgaWrites(controls()).empty());
    board->setFpgaRegister(0x60, 0x00);
    board->setFpgaRegister(0x41, 0x00);
    clearLog();
    EXPECT_EQ(uploadGammaTable(handle, 0, nullptr, 0), -63);
    EXPECT_TRUE(fpgaWrites(controls()).empty());
    std::size_t readyReads = 0;
    for (const auto& control : controls()) {
        readyReads += control.setup.request == 0xA9 && control.setup.value == 0x41 ? 1 : 0;
    }
    EXPECT_EQ(readyReads, 3u);
}

TEST_F(LoaderExports, GammaUploadNamesTheSlotPulsesAndWritesTheTable) {
    plug("");
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    auto board = host.board("sim:RT4207-x6B6B:0");
    board->setFpgaRegister(0x60, 0x00);
    board->setFpgaRegister(0x41, 0x01);
    {
        std::ofstream file("curve.txt");
        for (int k = 0; k < 10; ++k) {
            file << k / 1023.0 << " " << k * 3 << "\n";
        }
    }
    clearLog();
    EXPECT_EQ(uploadGammaTable(handle, 5, "curve.txt", 0), 10);
    const std::vector<std::pair<int, int>> expected = {{0x6E, 0x00}, {0x6F, 0x50}, {0x70, 0xD0},
                                                       {0x71, 0x00}, {0x6D, 0x01}, {0x6D, 0x00}};
    EXPECT_EQ(fpgaWrites(controls()), expected);
    const kx::SimTransfer* table = nullptr;
    const auto records = this->records();
    for (const auto& record : records) {
        if (record.kind == kx::SimTransfer::Kind::Write && record.pipeId == handle->bulkOutPipe) {
            table = &record;
        }
    }
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->length, 4096u);
    EXPECT_EQ(table->result, 4096);
    ASSERT_GE(table->data.size(), 16u);  // the log keeps the start of a write
    // Entry 3 of table 5: level 9 in bits 10-19, big-endian.
    EXPECT_EQ(table->data[12], 0x00);
    EXPECT_EQ(table->data[13], 0x00);
    EXPECT_EQ(table->data[14], 0x24);
    EXPECT_EQ(table->data[15], 0x00);

    // Without a file: the identity table, levels in all three fields for table 0.
    clearLog();
    EXPECT_EQ(uploadGammaTable(handle, 0, "missing.txt", 0), 0);
    const auto again = this->records();
    const auto identity = std::find_if(again.begin(), again.end(), [&](const auto& record) {
        return record.kind == kx::SimTransfer::Kind::Write && record.pipeId == handle->bulkOutPipe;
    });
    ASSERT_NE(identity, again.end());
    ASSERT_GE(identity->data.size(), 24u);
    // Entry 5: (5 << 20) | (5 << 10) | 5 = 0x00501405.
    EXPECT_EQ(identity->data[20], 0x00);
    EXPECT_EQ(identity->data[21], 0x50);
    EXPECT_EQ(identity->data[22], 0x14);
    EXPECT_EQ(identity->data[23], 0x05);
}
