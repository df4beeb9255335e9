// What a user of the library sees of a board, the same through either backend: the sim backend,
// and the libusb backend over the real libusb and emulated usbdevfs. The latter takes the path a
// real board takes (claiming, control transfers, asynchronous bulk reads, time-outs, halts,
// hot-plug through udev events).
#include <gmock/gmock.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

#include "BoardBackendFixture.h"
#include "ScopedEnv.h"

namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::UnorderedElementsAre;

constexpr int kFpga = 0x3C;
constexpr int kSensor = 0x35;
constexpr int kAdc = 0x48;
constexpr int kDampening = 0x21;
constexpr int kFrameBytes = 480000;
// Two boards streaming at once. The plain build checks their rate: a stream of 30 a second
// delivers at least 30 frames in 3 s on a loaded machine. A sanitizer build is many times slower:
// a whole frame then crosses the emulated usbdevfs in about the library's 20 ms bulk time-out, and
// two boards rendering 30 frames a second leave it too little of the processor to do so. There the
// boards run at 5 frames a second and each must deliver frames while the other streams.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kCountRate = false;
constexpr const char* kTwoStreamingBoards = "RT4207,fps=5;MV3318,fps=5";
#else
constexpr bool kCountRate = true;
constexpr const char* kTwoStreamingBoards = "RT4207;MV3318,fps=30";
#endif

std::string data(const std::string& name) {
    return std::string(KX_DATA_DIR) + "/" + name;
}

// Frames the streams called back with, counted from the streaming threads: those of the first
// board opened apart from the others'.
struct Frames {
    static inline std::atomic<CamContext*> first{nullptr};
    static inline std::atomic<int> count{0};
    static inline std::atomic<int> others{0};
    static inline std::atomic<int> wrongSize{0};
    static void record(const void*, int bytes, CamContext* handle) {
        ++(handle == first ? count : others);
        if (bytes < kFrameBytes) {
            ++wrongSize;
        }
    }
    static void reset(CamContext* handle) {
        first = handle;
        count = 0;
        others = 0;
        wrongSize = 0;
    }
    static bool waitFor(int frames, std::chrono::milliseconds limit, int fromOthers = 0) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (count < frames || others < fromOthers) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
};

class BoardPath : public BoardBackendFixture {};
KX_BOTH_BACKENDS(BoardPath);

// The libusb path alone: how boards without descriptors of the usual kind are found.
class LibusbDiscovery : public BoardBackendFixture {};
INSTANTIATE_TEST_SUITE_P(Backends, LibusbDiscovery, testing::Values(BackendKind::Libusb),
                         BoardBackendFixture::nameOf);

std::vector<std::string> deviceNames() {
    std::vector<std::string> names;
    getCxDeviceNames(names);
    return names;
}

}  // namespace

TEST_P(BoardPath, DiscoveryFindsEveryBoardAsItsModelAndOpenCloseCanRepeat) {
    start("RT4207;MV3318");
    EXPECT_THAT(deviceNames(), UnorderedElementsAre("RT4207-x6B6B_00", "MV3318-x7654_00"));
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(close(handle), 0);
    handle = open();
    ASSERT_NE(handle, nullptr);
    int version = 0;
    EXPECT_EQ(getMcuFirmwareVersion(handle, &version), 0);
    EXPECT_EQ(version, board()->mcuVersion());
    EXPECT_EQ(open("RT4207-x6B6B_07"), nullptr);
}

TEST_P(LibusbDiscovery, MsOs20DescriptorsNameTheModelAsTheOlderKindDoes) {
    start("RT4207;MV3329", usbmock::OsDescriptors::V2);
    EXPECT_THAT(deviceNames(), UnorderedElementsAre("RT4207-x6B6B_00", "MV3329-x5542_00"));
    EXPECT_NE(open(), nullptr);
}

TEST_P(LibusbDiscovery, ABoardWithoutOsDescriptorsIsFoundThroughTheDeviceMap) {
    std::ofstream("devicemap.txt") << "RT4207-x6B6B 04b4:8613\n";
    const ScopedEnv map("KXCX_DEVICE_MAP", "devicemap.txt");
    start("RT4207", usbmock::OsDescriptors::None);
    EXPECT_THAT(deviceNames(), ElementsAre("RT4207-x6B6B_00"));
    EXPECT_NE(open(), nullptr);
}

TEST_P(LibusbDiscovery, ABoardWithoutOsDescriptorsOrAMapLineIsNoBoardOfOurs) {
    const ScopedEnv map("KXCX_DEVICE_MAP", "absent.txt");
    start("RT4207", usbmock::OsDescriptors::None);
    EXPECT_TRUE(deviceNames().empty());
}

TEST_P(BoardPath, RegistersGoThroughTheI2cBridgeAndAMissingPartFails) {
    CamContext* handle = startAndOpen("RT4207");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(writeRegister(handle, kFpga, kDampening, 0x5A, 0), 1);
    EXPECT_EQ(board()->fpgaRegister(kDampening), 0x5A);
    int value = -1;
    EXPECT_EQ(readRegister(handle, kFpga, kDampening, &value, 0), 1);
    EXPECT_EQ(value, 0x5A);
    board()->setSensorRegister(0x3003, 0x21);
    EXPECT_EQ(readSCCB(handle, kSensor, 0x3003, &value), 1);
    EXPECT_EQ(value, 0x21);
    // A part that does not answer reads as the bridge's filler and refuses writes.
    board()->setI2cNack(kAdc, true);
    EXPECT_EQ(readRegister(handle, kAdc, 0x01, &value, 0), 1);
    EXPECT_EQ(value, 0xCD);
    EXPECT_EQ(writeRegister(handle, kAdc, 0x01, 0x42, 0), 0);
    board()->setI2cNack(kAdc, false);
    EXPECT_EQ(writeRegister(handle, kAdc, 0x01, 0x42, 0), 1);
}

TEST_P(BoardPath, ARegisterFileReachesTheSensorAndTheFpga) {
    CamContext* handle = startAndOpen("RT4207");
    ASSERT_NE(handle, nullptr);
    const std::string text =
        "6A 1111 11\n"
        ";(a) sensor controller system reset\n"
        "6A 3003 20\n"
        "78 0021 10\n";
    std::ofstream("regs.txt") << text;
    EXPECT_EQ(sendRegFile(handle, "regs.txt", nullptr), static_cast<int>(text.size()));
    EXPECT_EQ(board()->sensorRegister(0x3003), 0x20);
    EXPECT_EQ(board()->fpgaRegister(kDampening), 0x10);
}

TEST_P(BoardPath, TwoBoardsOfBothVariantsStreamAtOnceAtTheirFrameRate) {
    CamContext* handle = startAndOpen(kTwoStreamingBoards);
    ASSERT_NE(handle, nullptr);
    std::ofstream("reg_init.txt") << ";(a) sensor controller system reset\n6A 3003 20\n";
    CamContext* second = open("MV3318-x7654_00");
    ASSERT_NE(second, nullptr);
    Frames::reset(handle);
    ASSERT_EQ(acquireImageStream(handle, &Frames::record, 0), 0);
    ASSERT_EQ(acquireImageStream(second, &Frames::record, 0), 1);  // its own threads run it
    if (kCountRate) {
        ASSERT_TRUE(Frames::waitFor(1, 5s));
        const int firstBefore = Frames::count;
        const int othersBefore = Frames::others;
        std::this_thread::sleep_for(3s);
        const int first = Frames::count - firstBefore;
        const int others = Frames::others - othersBefore;
        EXPECT_GE(first, 30);
        EXPECT_LE(first, 95);
        EXPECT_GE(others, 30);
        EXPECT_LE(others, 95);
    } else {
        EXPECT_TRUE(Frames::waitFor(3, 30s, 3))
            << Frames::count << " and " << Frames::others << " frames";
    }
    EXPECT_EQ(acquireImageStream(handle, nullptr, 0), 0);
    EXPECT_EQ(acquireImageStream(second, nullptr, 0), 3);
    EXPECT_EQ(Frames::wrongSize, 0);
}

TEST_P(BoardPath, AHaltedBulkPipeIsRecoveredByTheFifoReset) {
    CamContext* handle = startAndOpen("RT4207,fps=0");
    ASSERT_NE(handle, nullptr);
    std::vector<uint8_t> frame(kFrameBytes + 256);
    ASSERT_GE(acquireOneFrame(handle, frame.data()), kFrameBytes);
    board()->setBulkInStalled(true);
    EXPECT_LT(acquireOneFrame(handle, frame.data()), kFrameBytes);
    EXPECT_GE(resetUsbFifo(handle), 0);
    EXPECT_FALSE(board()->bulkInStalled());
    EXPECT_GE(acquireOneFrame(handle, frame.data()), kFrameBytes);
}

TEST_P(BoardPath, AControlTransferThatTimesOutFailsAloneAndTheNextOneWorks) {
    CamContext* handle = startAndOpen("RT4207,mcu=1.07");
    ASSERT_NE(handle, nullptr);
    int version = 0x1234;
    board()->setControlTimeouts(1);
    EXPECT_EQ(getMcuFirmwareVersion(handle, &version), -ETIMEDOUT);
    EXPECT_EQ(version, 0x1234);
    EXPECT_EQ(getMcuFirmwareVersion(handle, &version), 0);
    EXPECT_EQ(version, 0x0107);
}

TEST_P(BoardPath, AJtagLoadConfiguresTheFpgaAndAGammaTableReachesItsSlot) {
    CamContext* handle = startAndOpen("RT4207,fpga=1.30");
    ASSERT_NE(handle, nullptr);
    int size = 0;
    const std::string bitstream = data("firmware/fpga_1_20.bit");
    EXPECT_EQ(uploadFpgaFirmware(handle, &size, bitstream.c_str(), nullptr),
              static_cast<int>(std::filesystem::file_size(bitstream)));
    EXPECT_EQ(board()->fpgaVersion(), 0x0120);
    EXPECT_EQ(initFPGA(handle), 0);

    board()->setFpgaRegister(0x60, 0x00);
    board()->setFpgaRegister(0x41, 0x01);
    {
        std::ofstream file("curve.txt");
        for (int k = 0; k < 10; ++k) {
            file << k / 1023.0 << " " << k * 3 << "\n";
        }
    }
    EXPECT_EQ(uploadGammaTable(handle, 5, "curve.txt", 0), 10);
    const std::vector<uint8_t> slot = board()->gammaSlot(5);
    ASSERT_EQ(slot.size(), 4096u);
    // Entry 3: level 9 in bits 10-19, big-endian.
    EXPECT_EQ(std::vector<uint8_t>(slot.begin() + 12, slot.begin() + 16),
              (std::vector<uint8_t>{0x00, 0x00, 0x24, 0x00}));
    std::vector<uint8_t> readBack(4096);
    EXPECT_GE(downloadGammaTableTo(handle, 5, readBack.data(), 4096), 0);
    EXPECT_EQ(readBack, slot);
}

TEST_P(BoardPath, AnMcuRamLoadRestartsTheBoardWhichComesBackWithTheNewProgram) {
    CamContext* handle = startAndOpen("RT4207,mcu=1.07");
    ASSERT_NE(handle, nullptr);
    listen();
    EXPECT_GT(uploadMcuFirmware(handle, data("firmware/mcu_1_05.hex").c_str(), nullptr), 0);
    const std::string path = pathOf("sim:RT4207-x6B6B:0");
    EXPECT_THAT(heard(2), ElementsAre("-" + path + " RT4207-x6B6B", "+" + path + " RT4207-x6B6B"));
    int stale = 0;
    EXPECT_EQ(readRegister(handle, kFpga, 0x01, &stale, 0), 0);
    EXPECT_EQ(close(handle), 0);
    findCxDevices();
    CamContext* again = open();
    ASSERT_NE(again, nullptr);
    int version = 0;
    ASSERT_EQ(getMcuFirmwareVersion(again, &version), 0);
    EXPECT_EQ(version, 0x0105);
}

TEST_P(BoardPath, AnUnplugWhileStreamingEndsTheStreamAndNothingHangs) {
    CamContext* handle = startAndOpen("RT4207");
    ASSERT_NE(handle, nullptr);
    listen();
    Frames::reset(handle);
    ASSERT_EQ(acquireImageStream(handle, &Frames::record, 0), 0);
    ASSERT_TRUE(Frames::waitFor(3, 5s));
    testing::internal::CaptureStderr();
    host.unplug("sim:RT4207-x6B6B:0");
    const std::string path = pathOf("sim:RT4207-x6B6B:0");
    EXPECT_THAT(heard(1), ElementsAre("-" + path + " RT4207-x6B6B"));
    const int atRemoval = Frames::count;
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(Frames::count, atRemoval + 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(acquireImageStream(handle, nullptr, 0), 0);
    EXPECT_EQ(close(handle), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    testing::internal::GetCapturedStderr();

    host.plug("sim:RT4207-x6B6B:0");
    EXPECT_THAT(heard(2), ElementsAre("-" + path + " RT4207-x6B6B", "+" + path + " RT4207-x6B6B"));
    findCxDevices();
    EXPECT_NE(open(), nullptr);
}

TEST_P(BoardPath, HotPlugTellsEachBoardsArrivalAndRemovalWithItsModel) {
    start("RT4207;MV3318");
    listen();
    host.unplug("sim:MV3318-x7654:0");
    host.plug("sim:MV3318-x7654:0");
    const std::string path = pathOf("sim:MV3318-x7654:0");
    EXPECT_THAT(heard(2), ElementsAre("-" + path + " MV3318-x7654", "+" + path + " MV3318-x7654"));
}
