// The loaders' transfers as the simulated board receives them, and what they do to the board.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "SimDeviceFixture.h"
#include "device/kxCamContext.h"
#include "firmware/BootImage.h"

using testing::ElementsAre;
using testing::Pair;

namespace {

constexpr int kJtag = 0xD0;

// One control transfer in short: direction, request, wValue, wIndex, length.
struct Control {
    bool in;
    int request;
    int value;
    int index;
    int length;
    std::vector<uint8_t> data;
};

std::vector<int> g_progress;
bool g_abortAtFirst = false;

void recordProgress(int step, bool* abort) {
    g_progress.push_back(step);
    if (g_abortAtFirst) {
        *abort = true;
    }
}

class LoaderTransfers : public SimDeviceFixture {
protected:
    LoaderTransfers() {
        g_progress.clear();
        g_abortAtFirst = false;
    }

    std::vector<Control> transfers(int request = -1) const {
        std::vector<Control> list;
        for (const auto& control : controls()) {
            if (request < 0 || control.setup.request == request) {
                list.push_back({(control.setup.requestType & 0x80) != 0, control.setup.request,
                                control.setup.value, control.setup.index, control.setup.length,
                                control.data});
            }
        }
        return list;
    }

    // The JTAG transfers that carried bitstream bytes.
    std::size_t jtagDataTransfers() const {
        std::size_t count = 0;
        for (const Control& control : transfers(kJtag)) {
            count += !control.in && control.length > 0 ? 1 : 0;
        }
        return count;
    }

    // A file of n bytes 0, 1, 2, ...
    std::string counting(const std::string& name, int n) {
        std::string bytes;
        for (int i = 0; i < n; ++i) {
            bytes.push_back(static_cast<char>(i));
        }
        return writeFile(name, bytes);
    }

    static std::string data(const std::string& relative) {
        return std::string(KX_DATA_DIR) + "/" + relative;
    }

    int fpgaRegister(CamContext* handle, int reg) {
        int value = -1;
        readRegister(handle, 0x3C, reg, &value, 0);
        return value;
    }
};

}  // namespace

TEST_F(LoaderTransfers, JtagLoadSendsThePreambleTheBitReversedDataAndTheStartUp) {
    CamContext* handle = openBoard("");
    int size = 0;
    EXPECT_EQ(
        uploadFpgaFirmware(handle, &size, counting("short.bit", 130).c_str(), &recordProgress),
        0);  // not a bitstream: the FPGA never reports done
    EXPECT_EQ(size, 130);
    const auto jtag = transfers(kJtag);
    ASSERT_EQ(jtag.size(), 6u + 3u + 4u);
    const int preamble[] = {0x3CFF, 0xF009, 0x0FFF, 0xF03F, 0xF00B, 0xF005};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(jtag[i].in) << i;
        EXPECT_EQ(jtag[i].value, preamble[i]) << i;
        EXPECT_EQ(jtag[i].length, i == 2 ? 4 : 1) << i;
    }
    EXPECT_EQ(jtag[6].value, 0x0FF0);
    EXPECT_EQ(jtag[6].length, 64);
    EXPECT_EQ(jtag[7].value, 0x0F00);
    EXPECT_EQ(jtag[8].value, 0x0F0F);
    EXPECT_EQ(jtag[8].length, 2);
    EXPECT_FALSE(jtag[8].in);
    // Byte 1 (0000 0001) goes out as 1000 0000; byte 129 (1000 0001) as itself.
    EXPECT_EQ(jtag[6].data[1], 0x80);
    EXPECT_EQ(jtag[8].data[1], 0x81);
    EXPECT_EQ(jtag[9].value, 0xF00C);
    EXPECT_FALSE(jtag[10].in);
    EXPECT_EQ(jtag[10].value, 0xAA20);
    EXPECT_EQ(jtag[10].length, 0);
    EXPECT_EQ(jtag[11].value, 0xF03F);
    EXPECT_EQ(jtag[12].value, 0xF03F);
    // 130 / 200 = 0 bytes a step: each transfer reports once.
    EXPECT_THAT(g_progress, ElementsAre(1, 2, 3, 205, 210, 215, 220));

    // A length that is a multiple of 64 ends with a full transfer.
    clearLog();
    uploadFpgaFirmware(handle, &size, counting("even.bit", 128).c_str(), nullptr);
    const auto even = transfers(kJtag);
    ASSERT_EQ(even.size(), 6u + 2u + 4u);
    EXPECT_EQ(even[7].value, 0x0F00);
    EXPECT_EQ(even[7].length, 64);
}

TEST_F(LoaderTransfers, AbortEndsTheJtagDataButNotTheStartUp) {
    CamContext* handle = openBoard("");
    g_abortAtFirst = true;
    int size = 0;
    EXPECT_EQ(
        uploadFpgaFirmware(handle, &size, data("firmware/default.bit").c_str(), &recordProgress),
        0);
    const std::size_t dataTransfers = jtagDataTransfers();
    EXPECT_EQ(dataTransfers, 1u);
    EXPECT_THAT(g_progress, ElementsAre(1, 205, 210, 215, 220));
}

TEST_F(LoaderTransfers, BitstreamsConfigureTheFpgaWithTheirVersion) {
    CamContext* handle = openBoard("RT4207,fpga=1.20");
    EXPECT_EQ(fpgaRegister(handle, 1), 1);
    EXPECT_EQ(fpgaRegister(handle, 0), 0x20);
    // The default file, relative to the current folder.
    std::filesystem::create_directory("firmware");
    std::filesystem::copy_file(data("firmware/default.bit"), "firmware/default.bit");
    int size = 0;
    const int sent = uploadFpgaFirmware(handle, &size, nullptr, nullptr);
    EXPECT_EQ(sent, static_cast<int>(std::filesystem::file_size("firmware/default.bit")));
    EXPECT_EQ(size, sent);
    EXPECT_EQ(fpgaRegister(handle, 1), 1);
    EXPECT_EQ(fpgaRegister(handle, 0), 0x30);
    EXPECT_EQ(initFPGA(handle), 0);
    // A truncated bitstream leaves the FPGA unconfigured.
    {
        std::ifstream whole(data("firmware/fpga_1_20.bit"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(whole)),
                          std::istreambuf_iterator<char>());
        writeFile("cut.bit", bytes.substr(0, bytes.size() / 2));
    }
    EXPECT_EQ(uploadFpgaFirmware(handle, &size, "cut.bit", nullptr), 0);
    EXPECT_EQ(initFPGA(handle), -21);
    EXPECT_GT(uploadFpgaFirmware(handle, &size, data("firmware/fpga_1_20.bit").c_str(), nullptr),
              0);
    EXPECT_EQ(fpgaRegister(handle, 0), 0x20);
}

TEST_F(LoaderTransfers, EraseReadsTheStatusThriceAndSetsTheFlashErasedFlag) {
    // A short erase: the poll has no pause, and the transfer log keeps only so many records
    // (but long enough for the status read just after the erase command to find it busy).
    CamContext* handle = openBoard("RT4207,flash=sst,erase=10");
    uint16_t status[3] = {0xFFFF, 0xFFFF, 0xFFFF};
    EXPECT_FALSE(handle->flashErased);
    EXPECT_EQ(eraseFpgaFromFlash(handle, status, &recordProgress), 0);
    EXPECT_TRUE(handle->flashErased);
    const auto window = transfers(0xA9);
    ASSERT_GE(window.size(), 4u);
    // SPI 0x9F 0x00: {0x00, 0x9F, count 2} at 0x92; the identification read back from 0x80.
    EXPECT_EQ(window[0].value, 0x92);
    EXPECT_EQ(window[0].data, (std::vector<uint8_t>{0x00, 0x9F, 0x02}));
    EXPECT_TRUE(window[1].in);
    EXPECT_EQ(window[1].value, 0x80);
    EXPECT_EQ(window[1].length, 3);
    // This maker enables status writes with 0x50.
    EXPECT_EQ(window[2].value, 0x93);
    EXPECT_EQ(window[2].data, (std::vector<uint8_t>{0x50, 0x01}));
    EXPECT_EQ(window[3].data, (std::vector<uint8_t>{0x00, 0x01, 0x02}));
    bool erased = false;
    for (const Control& control : window) {
        erased |= control.value == 0x93 && control.data == std::vector<uint8_t>{0xC7, 0x01};
    }
    EXPECT_TRUE(erased);
    EXPECT_EQ(status[0] & 0x01, 0);
    EXPECT_EQ(status[2] & 0x01, 1);  // busy once the erase started
    ASSERT_GE(g_progress.size(), 12u);
    EXPECT_THAT(std::vector<int>(g_progress.begin(), g_progress.begin() + 12),
                ElementsAre(5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60));
    EXPECT_EQ(g_progress.back(), 110);
}

TEST_F(LoaderTransfers, PageFlashEnablesStatusWritesWithAWriteEnable) {
    CamContext* handle = openBoard("RT4207,flash=page,erase=0");
    uint16_t status[3] = {};
    EXPECT_EQ(eraseFpgaFromFlash(handle, status, nullptr), 0);
    const auto window = transfers(0xA9);
    ASSERT_GE(window.size(), 3u);
    EXPECT_EQ(window[2].value, 0x93);
    EXPECT_EQ(window[2].data, (std::vector<uint8_t>{0x06, 0x01}));
}

TEST_F(LoaderTransfers, UnknownFlashMakerIsRefusedBeforeAnyWrite) {
    CamContext* handle = openBoard("RT4207,flash=unknown");
    uint16_t status[3] = {};
    EXPECT_EQ(eraseFpgaFromFlash(handle, status, nullptr), -5);
    EXPECT_FALSE(handle->flashErased);
    EXPECT_EQ(transfers(0xA9).size(), 2u);  // the identification and its reply only
    handle->flashErased = true;
    writeFile("image.mcs", ":10000000000102030405060708090A0B0C0D0E0F78\n:00000001FF\n");
    clearLog();
    int size = 0;
    EXPECT_EQ(uploadFpgaFirmwareToFlash(handle, &size, "image.mcs", nullptr), -5);
    for (const Control& control : transfers(0xA9)) {
        EXPECT_TRUE(control.in || control.value == 0x92) << control.value;
    }
}

TEST_F(LoaderTransfers, FlashImagesGoThroughTheWindowAsEachFamilyWantsThem) {
    // Two full records, a short one (skipped, not counted) and an address record.
    const std::string image =
        ":020000040001F9\n"
        ":10000000000102030405060708090A0B0C0D0E0F78\n"
        ":0410100001020304D2\n"
        ":10001000101112131415161718191A1B1C1D1E1F68\n"
        ":00000001FF\n";
    for (const char* board : {"RT4207,flash=sst", "RT4207,flash=page"}) {
        SCOPED_TRACE(board);
        CamContext* handle = openBoard(board);
        writeFile("image.mcs", image);
        uint16_t status[3] = {};
        ASSERT_EQ(eraseFpgaFromFlash(handle, status, nullptr), 0);
        clearLog();
        int size = 0;
        EXPECT_EQ(uploadFpgaFirmwareToFlash(handle, &size, "image.mcs", &recordProgress), 32);
        EXPECT_EQ(size, static_cast<int>(image.size()));
        const auto all = transfers();
        EXPECT_EQ(all.front().request, 0xAB);
        EXPECT_EQ(all.back().request, 0xAA);
        // Writes longer than a command of three bytes, the identifications aside (their opcode
        // 0x9F just below the count).
        std::vector<Control> programs;
        for (const Control& control : all) {
            if (!control.in && control.request == 0xA9 && control.data.size() > 3 &&
                control.data[control.data.size() - 2] != 0x9F) {
                programs.push_back(control);
            }
        }
        std::size_t writeEnables = 0;
        for (const Control& control : all) {
            writeEnables += control.request == 0xA9 && control.value == 0x93 &&
                                    control.data == std::vector<uint8_t>{0x06, 0x01}
                                ? 1
                                : 0;
        }
        if (std::string(board).find("sst") != std::string::npos) {
            // Eight words a record, each after a write enable: the first with the address, the
            // rest continuing.
            EXPECT_EQ(writeEnables, 16u);
            ASSERT_EQ(programs.size(), 16u);
            EXPECT_EQ(programs[0].value, 0x8E);
            EXPECT_EQ(programs[0].data,
                      (std::vector<uint8_t>{0x01, 0x00, 0x00, 0x00, 0x00, 0xAD, 0x06}));
            EXPECT_EQ(programs[1].value, 0x91);
            EXPECT_EQ(programs[1].data, (std::vector<uint8_t>{0x03, 0x02, 0xAD, 0x06}));
            EXPECT_EQ(programs[8].data, (std::vector<uint8_t>{0x11, 0x10, 0xAD, 0x06}));
        } else {
            // One page program a record (after a write enable; one more before the status
            // write), at the record's address in the 0x01 segment.
            EXPECT_EQ(writeEnables, 3u);
            ASSERT_EQ(programs.size(), 2u);
            EXPECT_EQ(programs[1].value, 0x80);
            ASSERT_EQ(programs[1].data.size(), 21u);
            EXPECT_EQ(programs[1].data[0], 0x1F);
            EXPECT_EQ(programs[1].data[15], 0x10);
            EXPECT_EQ(programs[1].data[16], 0x10);
            EXPECT_EQ(programs[1].data[17], 0x00);
            EXPECT_EQ(programs[1].data[18], 0x01);
            EXPECT_EQ(programs[1].data[19], 0x02);
            EXPECT_EQ(programs[1].data[20], 0x14);
        }
        EXPECT_EQ(g_progress.front(), 2);
        EXPECT_EQ(g_progress.back(), 250);
        g_progress.clear();
        // A damaged image reaches nothing, not even the begin request.
        writeFile("damaged.mcs", ":10000000000102030405060708090A0B0C0D0E0F79\n");
        clearLog();
        EXPECT_EQ(uploadFpgaFirmwareToFlash(handle, &size, "damaged.mcs", nullptr), -1);
        EXPECT_TRUE(transfers().empty());
        EXPECT_THAT(logText(),
                    testing::HasSubstr("SPI Flash from damaged.mcs refused: line 1 is damaged"));
    }
}

TEST_F(LoaderTransfers, McuProgramLoadsRecordsWithTheCpuHeldAndRestartsTheBoard) {
    CamContext* handle = openBoard("RT4207,mcu=1.07");
    writeFile("small.hex", ":0300300002337A1E\n:020000040000FA\n:00000001FF\n");
    EXPECT_EQ(uploadMcuFirmware(handle, "small.hex", nullptr), 3);
    const auto ram = transfers(0xA0);
    ASSERT_EQ(ram.size(), 3u);
    EXPECT_EQ(ram[0].value, 0xE600);
    EXPECT_EQ(ram[0].data, (std::vector<uint8_t>{0x01}));
    EXPECT_EQ(ram[1].value, 0x0030);
    EXPECT_EQ(ram[1].data, (std::vector<uint8_t>{0x02, 0x33, 0x7A}));
    EXPECT_EQ(ram[2].value, 0xE600);
    EXPECT_EQ(ram[2].data, (std::vector<uint8_t>{0x00}));
}

TEST_F(LoaderTransfers, McuProgramOfAnotherVersionComesBackWithIt) {
    CamContext* handle = openBoard("RT4207,mcu=1.07");
    int version = 0;
    ASSERT_EQ(getMcuFirmwareVersion(handle, &version), 0);
    EXPECT_EQ(version, 0x0107);
    static std::vector<int> events;
    events.clear();
    setCxDeviceNotify([](int event, const char*, const char*, void*) { events.push_back(event); },
                      nullptr);
    EXPECT_GT(uploadMcuFirmware(handle, data("firmware/mcu_1_05.hex").c_str(), nullptr), 0);
    ASSERT_TRUE(backend->waitHotplugDelivered(std::chrono::seconds(5)));
    setCxDeviceNotify(nullptr, nullptr);
    // The board left and came back with the new program; the old handle is dead.
    EXPECT_THAT(events, ElementsAre(CxDeviceRemoved, CxDeviceArrived));
    int stale = 0;
    EXPECT_EQ(readRegister(handle, 0x3C, 0x01, &stale, 0), 0);
    close(handle);
    findCxDevices();
    CamContext* again = open();
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(getMcuFirmwareVersion(again, &version), 0);
    EXPECT_EQ(version, 0x0105);
}

TEST_F(LoaderTransfers, AFailedVersionReadIsAFailureAndLeavesTheVersionAlone) {
    CamContext* handle = openBoard("RT4207,mcu=1.07");
    auto board = host.board("sim:RT4207-x6B6B:0");
    int version = 0x1234;
    board->setControlTimeouts(1);
    EXPECT_EQ(getMcuFirmwareVersion(handle, &version), -ETIMEDOUT);
    EXPECT_EQ(version, 0x1234);
    ASSERT_EQ(getMcuFirmwareVersion(handle, &version), 0);
    EXPECT_EQ(version, 0x0107);
    version = 0x1234;
    host.unplug("sim:RT4207-x6B6B:0");
    EXPECT_EQ(getMcuFirmwareVersion(handle, &version), -ENODEV);
    EXPECT_EQ(version, 0x1234);
}

TEST_F(LoaderTransfers, AnFpgaThatNeverAnswersReadyFailsTheStartUp) {
    CamContext* handle = openBoard("RT4207,fpganotready=on");
    EXPECT_EQ(initFPGA(handle), -22);
}

TEST_F(LoaderTransfers, FoldersAreNoImages) {
    CamContext* handle = openBoard("");
    int size = 0;
    std::filesystem::create_directory("firmware.hex");
    EXPECT_EQ(uploadMcuFirmware(handle, "firmware.hex", nullptr), -1);
    EXPECT_EQ(uploadMcuFirmwareToEeprom(handle, "firmware.hex", nullptr), -1);
    EXPECT_EQ(uploadFpgaFirmware(handle, &size, "firmware.hex", nullptr), 0);
    handle->flashErased = true;
    EXPECT_EQ(uploadFpgaFirmwareToFlash(handle, &size, "firmware.hex", nullptr), -1);
    EXPECT_TRUE(transfers().empty());
}

TEST_F(LoaderTransfers, BootImageGoesToTheEepromSixteenBytesATime) {
    CamContext* handle = openBoard("");
    // A 40-byte boot image: the header, one record of 23 bytes, the record that starts the CPU.
    boardsim::BootImage image;
    image.records = {{0x0000, std::vector<uint8_t>(23, 0x5A)}};
    const std::vector<uint8_t> bytes = image.write();
    ASSERT_EQ(bytes.size(), 40u);
    writeFile("boot.iic", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(uploadMcuFirmwareToEeprom(handle, "boot.iic", nullptr), 40);
    const auto pieces = transfers(0xA9);
    ASSERT_EQ(pieces.size(), 3u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].index, 0x151);
        EXPECT_EQ(pieces[i].value, static_cast<int>(16 * i));
        EXPECT_EQ(pieces[i].length, i < 2 ? 16 : 8);
    }
    EXPECT_EQ(pieces[2].data, std::vector<uint8_t>(bytes.begin() + 32, bytes.end()));
    const std::vector<uint8_t> eeprom = host.board("sim:RT4207-x6B6B:0")->bootEeprom();
    ASSERT_GE(eeprom.size(), bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), eeprom.begin()));
    // An image beyond the EEPROM's 16-bit addresses would overwrite its own start.
    clearLog();
    EXPECT_EQ(uploadMcuFirmwareToEeprom(handle, counting("huge.iic", 0x10001).c_str(), nullptr),
              -1);
    EXPECT_TRUE(transfers().empty());
    EXPECT_THAT(logText(), testing::HasSubstr("Writing boot image huge.iic refused: 65537 bytes"));
}

TEST_F(LoaderTransfers, GammaTablesReachTheirSlotsAndComeBack) {
    CamContext* handle = openBoard("");
    {
        std::ofstream file("curve.txt");
        for (int k = 0; k < 1024; ++k) {
            file << k / 1023.0 << " " << 1023 - k << "\n";
        }
    }
    EXPECT_EQ(uploadGammaTable(handle, 3, "curve.txt", 0), 1024);
    clearLog();
    std::vector<uint8_t> table(4096);
    EXPECT_EQ(downloadGammaTableTo(handle, 3, table.data(), 4096), 4096);
    // Entry 0: 1023 in all three fields.
    EXPECT_EQ(table[0], 0x3F);
    EXPECT_EQ(table[1], 0xFF);
    EXPECT_EQ(table[2], 0xFF);
    EXPECT_EQ(table[3], 0xFF);
    std::vector<std::pair<int, int>> writes;
    for (const Control& control : transfers(0xA9)) {
        if (!control.in) {
            writes.emplace_back(control.value | (control.index & 0x100) << 8, control.data[0]);
        }
    }
    // Slot 3 at 0x00D03000; the length code written with 16-bit register addressing.
    EXPECT_THAT(writes,
                ElementsAre(Pair(0x63, 0x00), Pair(0x64, 0x30), Pair(0x65, 0xD0), Pair(0x66, 0x00),
                            Pair(0x10067, 0x08), Pair(0x61, 0x00), Pair(0x61, 0x01)));
    EXPECT_EQ(downloadGammaTable(handle, 3), 4096);
}

TEST_F(LoaderTransfers, AnUploadedGammaTableChangesThePicture) {
    CamContext* handle = openBoard("RT4207,fps=0");
    // A table that maps every level to black.
    {
        std::ofstream file("black.txt");
        for (int k = 0; k < 1024; ++k) {
            file << k / 1023.0 << " 0\n";
        }
    }
    std::vector<uint8_t> frame(480256);
    ASSERT_GE(acquireOneFrame(handle, frame.data()), 480000);
    long before = 0;
    for (int i = 0; i < 480000; ++i) {
        before += frame[static_cast<std::size_t>(i)];
    }
    ASSERT_GT(before, 0);
    ASSERT_EQ(uploadGammaTable(handle, 2, "black.txt", 0), 1024);
    writeRegister(handle, 0x3C, 0x2C, 2, 0);
    writeRegister(handle, 0x3C, 0x2B, 1, 0);
    ASSERT_GE(acquireOneFrame(handle, frame.data()), 480000);
    long after = 0;
    for (int i = 0; i < 480000; ++i) {
        after += frame[static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(after, 0);
}

TEST_F(LoaderTransfers, ATableTheFpgaDoesNotTakeFailsWithThePlatformError) {
    CamContext* handle = openBoard("");
    testing::internal::CaptureStderr();
    // Slot 16 is beyond the FPGA's table memory: it never drains the bulk OUT FIFO.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(uploadGammaTable(handle, 16, nullptr, 0), -ETIMEDOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_THAT(log, testing::HasSubstr("CamDevice::uploadGammaTable 0000006e"));
    bool aborted = false;
    for (const auto& record : records()) {
        aborted |=
            record.kind == kx::SimTransfer::Kind::AbortPipe && record.pipeId == handle->bulkOutPipe;
    }
    EXPECT_TRUE(aborted);
    // The pipe works again for a table the FPGA takes.
    EXPECT_EQ(uploadGammaTable(handle, 1, nullptr, 0), 0);
}

TEST_F(LoaderTransfers, AJtagPortThatTakesNothingEndsTheLoad) {
    CamContext* handle = openBoard("RT4207,jtagstall=on");
    int size = 0;
    EXPECT_EQ(
        uploadFpgaFirmware(handle, &size, data("firmware/default.bit").c_str(), &recordProgress),
        0);
    const std::size_t dataTransfers = jtagDataTransfers();
    EXPECT_EQ(dataTransfers, 50u);
    // After the preamble, before the first byte of the bitstream.
    EXPECT_THAT(logText(),
                testing::HasSubstr("the board took no data in 50 transfers at byte 0\n"));
    // The start-up steps still run and the progress still ends.
    EXPECT_THAT(g_progress, ElementsAre(205, 210, 215, 220));
}
