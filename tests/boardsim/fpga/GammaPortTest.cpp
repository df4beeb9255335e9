// The FPGA's gamma memory through its load and read-back ports, as the host's gamma transfers
// drive them, and the busy and ready registers they check first.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "config/SimConfigParser.h"
#include "control/ControlCommands.h"
#include "host/SimHost.h"
#include "support/ProgrammingWire.h"

using namespace programming;
using boardsim::BoardConfig;

namespace {

constexpr uint32_t kSlotBase = 0x00D00000;

BoardConfig gammaBoard() {
    BoardConfig config;
    config.manualClock = true;
    return config;
}

void addressBytes(CameraBoard& board, uint8_t first, uint32_t address) {
    for (int i = 0; i < 4; ++i) {
        boardwire::fpgaWrite(board, static_cast<uint8_t>(first + i),
                             static_cast<uint8_t>(address >> (8 * i)));
    }
}

// The upload's register sequence, then the table on bulk OUT; the bulk result.
int upload(CameraBoard& board, int table, Bytes bytes) {
    addressBytes(board, 0x6E, kSlotBase + table * 0x1000u);
    boardwire::fpgaWrite(board, 0x6D, 1);
    boardwire::fpgaWrite(board, 0x6D, 0);
    return board.handleData(CameraBoard::kBulkOut, bytes.data(),
                            static_cast<uint32_t>(bytes.size()), std::chrono::milliseconds(100));
}

// The download's register sequence, then one bulk IN read of 4096 bytes.
Bytes download(CameraBoard& board, int table) {
    addressBytes(board, 0x63, kSlotBase + table * 0x1000u);
    uint8_t length = 0x08;
    EXPECT_EQ(board.handleControl({kVendorOut, 0xA9, 0x67, 0x13C, 1}, &length), 1);
    boardwire::fpgaWrite(board, 0x61, 0);
    boardwire::fpgaWrite(board, 0x61, 1);
    return boardwire::bulkRead(board, 4096, std::chrono::milliseconds(200));
}

// A table of entries (A, B, C) = (3k, 2k, k) mod 1024, big-endian words.
Bytes rampTable() {
    Bytes bytes;
    for (uint32_t k = 0; k < 1024; ++k) {
        const uint32_t word = (3 * k % 1024) << 20 | (2 * k % 1024) << 10 | k;
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<uint8_t>(word >> shift));
        }
    }
    return bytes;
}

}  // namespace

TEST(GammaPort, UploadedTableFillsItsSlotAndReadsBackOnBulkIn) {
    CameraBoard board(gammaBoard(), 0);
    const Bytes table = rampTable();
    testing::internal::CaptureStderr();
    EXPECT_EQ(upload(board, 5, table), 4096);
    EXPECT_EQ(board.gammaSlot(5), table);
    EXPECT_EQ(board.gammaSlot(4), Bytes(4096, 0));
    EXPECT_EQ(download(board, 5), table);
    // The 16-bit-address write of 0x67 lands in 0x67, quietly; the read-back is one slot
    // whatever the length registers hold.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(board.fpgaRegister(0x67), 0x08);
    EXPECT_EQ(board.fpgaVersion(), 0x0130);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 0u);
    // A never-loaded slot reads back as zeros.
    EXPECT_EQ(download(board, 2), Bytes(4096, 0));
}

TEST(GammaPort, PictureAppliesTheMeanOfTheThreeLevelsOfTheSelectedTable) {
    CameraBoard board(gammaBoard(), 0);
    ASSERT_EQ(upload(board, 3, rampTable()), 4096);
    boardwire::fpgaWrite(board, 0x2B, 1);
    boardwire::fpgaWrite(board, 0x2C, 3);
    const boardsim::PictureSettings settings = board.pictureSettings();
    ASSERT_NE(settings.gammaTable, nullptr);
    EXPECT_EQ(settings.gammaTable[0], 0);
    EXPECT_EQ(settings.gammaTable[100], 200);  // (300 + 200 + 100) / 3
    EXPECT_EQ(settings.gammaTable[400], (176 + 800 + 400 + 1) / 3);
    // Slots beyond the gamma stage's seven tables hold bytes but feed no table.
    ASSERT_EQ(upload(board, 9, rampTable()), 4096);
    EXPECT_EQ(board.gammaSlot(9), rampTable());
}

TEST(GammaPort, TableMayArriveInPiecesAndLaterBytesAreNotTaken) {
    CameraBoard board(gammaBoard(), 0);
    const Bytes table = rampTable();
    std::vector<std::pair<uint32_t, uint8_t>> seen;
    board.setBulkOutHandler(
        [&](const uint8_t* data, uint32_t length) { seen.emplace_back(length, data[0]); });
    addressBytes(board, 0x6E, kSlotBase);
    boardwire::fpgaWrite(board, 0x6D, 1);
    boardwire::fpgaWrite(board, 0x6D, 0);
    Bytes first(table.begin(), table.begin() + 1000);
    Bytes rest(table.begin() + 1000, table.end());
    board.handleData(CameraBoard::kBulkOut, first.data(), 1000, std::chrono::milliseconds(10));
    // The memory fills as the bytes arrive; the gamma stage gets the table once it is whole.
    const Bytes partial = board.gammaSlot(0);
    EXPECT_EQ(Bytes(partial.begin(), partial.begin() + 1000), first);
    EXPECT_EQ(board.pictureSettings().gammaTable, nullptr);
    board.handleData(CameraBoard::kBulkOut, rest.data(), 3096, std::chrono::milliseconds(10));
    EXPECT_EQ(board.gammaSlot(0), table);
    EXPECT_NE(board.pictureSettings().gammaTable, nullptr);
    // Disarmed, the FPGA no longer drains its FIFO: the next transfer times out, taking nothing.
    Bytes more(4096, 0x55);
    EXPECT_EQ(
        board.handleData(CameraBoard::kBulkOut, more.data(), 4096, std::chrono::milliseconds(10)),
        -ETIMEDOUT);
    EXPECT_EQ(board.gammaSlot(0), table);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(GammaPort, UnarmedBulkOutWaitsForThePipesTimeOutAndStoresNothing) {
    CameraBoard board(gammaBoard(), 0);
    const Bytes table = rampTable();
    // Table 16 is past the last slot, table -1 before the first: neither arms the port.
    testing::internal::CaptureStderr();
    for (const int number : {16, -1}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(upload(board, number, table), -ETIMEDOUT) << number;
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not a table slot"), std::string::npos);
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(board.gammaSlot(n), Bytes(4096, 0)) << n;
    }
    // Without a time-out the transfer waits until the host aborts the pipe or the board leaves.
    Bytes bytes = table;
    for (const bool unplug : {false, true}) {
        int result = 0;
        std::atomic<bool> finished{false};
        std::thread host([&] {
            result = board.handleData(CameraBoard::kBulkOut, bytes.data(), 4096,
                                      std::chrono::milliseconds(0));
            finished = true;
        });
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (unplug) {
                board.setPlugged(false);
            } else {
                board.cancelData(CameraBoard::kBulkOut);
            }
        }
        host.join();
        EXPECT_EQ(result, unplug ? -ENODEV : -ECANCELED);
    }
    // A board that is back takes an armed table again.
    board.setPlugged(true);
    EXPECT_EQ(upload(board, 15, table), 4096);
    EXPECT_EQ(board.gammaSlot(15), table);
}

TEST(GammaPort, AddressOutsideTheSlotsArmsNothing) {
    CameraBoard board(gammaBoard(), 0);
    addressBytes(board, 0x6E, kSlotBase + 0x0800);
    testing::internal::CaptureStderr();
    boardwire::fpgaWrite(board, 0x6D, 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not a table slot"), std::string::npos);
    Bytes table = rampTable();
    EXPECT_EQ(
        board.handleData(CameraBoard::kBulkOut, table.data(), 4096, std::chrono::milliseconds(10)),
        -ETIMEDOUT);
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(board.gammaSlot(n), Bytes(4096, 0)) << n;
    }
}

TEST(GammaPort, FrameTransfersStillFollowTheStartPulse) {
    BoardConfig config = boardwire::frameBoard(30);
    CameraBoard board(config, 0);
    ASSERT_EQ(upload(board, 0, rampTable()), 4096);
    ASSERT_EQ(download(board, 0), rampTable());
    // The host sets the frame's length (120000 words) before a frame transfer.
    fpgaWriteBytes(board, 0x67, {0xC0, 0xD4, 0x01});
    // Bank 0 again: a frame transfer of the word layout (the whole frame's bytes).
    boardwire::startBank(board, 0);
    const Bytes frame = boardwire::bulkRead(board, 480000, std::chrono::milliseconds(2000));
    EXPECT_EQ(frame.size(), 480000u);
}

TEST(GammaPort, PowerOnEmptiesTheMemory) {
    CameraBoard board(gammaBoard(), 0);
    ASSERT_EQ(upload(board, 1, rampTable()), 4096);
    board.setPlugged(false);
    board.setPlugged(true);
    EXPECT_EQ(board.gammaSlot(1), Bytes(4096, 0));
}

TEST(FpgaHandshake, BusyAndNotReadyOnDemandFromConfigurationAndControlChannel) {
    std::vector<BoardConfig> boards;
    std::string error;
    ASSERT_TRUE(
        boardsim::SimConfigParser::parse("RT4207,fpgabusy=on,fpganotready=on", boards, error));
    boardsim::SimHost host;
    host.configure(boards);
    auto board = host.boards().front();
    EXPECT_EQ(boardwire::fpgaRead(*board, 0x60), 1);
    EXPECT_EQ(boardwire::fpgaRead(*board, 0x41), 0);
    boardsim::ControlCommands commands(host);
    EXPECT_EQ(commands.execute("list")[0].substr(commands.execute("list")[0].find("faults=")),
              "faults=busy,notready");
    EXPECT_EQ(commands.execute("fault busy off").back(), "ok");
    EXPECT_EQ(commands.execute("fault notready off").back(), "ok");
    EXPECT_EQ(boardwire::fpgaRead(*board, 0x60), 0);
    EXPECT_EQ(boardwire::fpgaRead(*board, 0x41), 1);
    EXPECT_EQ(commands.execute("fault busy on"),
              (std::vector<std::string>{"sim:RT4207-x6B6B:0: the FPGA reads busy", "ok"}));
    EXPECT_EQ(boardwire::fpgaRead(*board, 0x60), 1);
    EXPECT_EQ(commands.execute("fault notready maybe"),
              (std::vector<std::string>{"error: usage: fault notready on|off [PATH]"}));
}

TEST(FpgaHandshake, StreamControlReadsWhatTheHostLeftInIt) {
    CameraBoard board(gammaBoard(), 0);
    EXPECT_EQ(boardwire::fpgaRead(board, 0x60), 0);
    boardwire::fpgaWrite(board, 0x60, 1);
    EXPECT_EQ(boardwire::fpgaRead(board, 0x60), 1);
    boardwire::fpgaWrite(board, 0x60, 0);
    EXPECT_EQ(boardwire::fpgaRead(board, 0x60), 0);
}
