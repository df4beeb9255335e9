// The first variant's frames in the packet layout (FPGA design 1.48 and later): the interrupt
// trigger, 938-packet transfers, the interrupt counter; and where the layouts part.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "support/BoardWire.h"

using namespace boardwire;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kFrame = 480000;
constexpr uint32_t kPacketFrame = 480256;

void pulseBank(CameraBoard& board, int bank, uint32_t length) {
    fpgaWrite(board, 0x67, static_cast<uint8_t>(length));
    fpgaWrite(board, 0x68, static_cast<uint8_t>(length >> 8));
    fpgaWrite(board, 0x69, static_cast<uint8_t>(length >> 16));
    startBank(board, bank);
}

}  // namespace

TEST(BoardPacketLayout, TriggerSendsTheNewestBankAs938Packets) {
    CameraBoard board(frameBoard(200, 0x01, 0x30), 0);
    board.advanceClock(15ms);  // newest: frame 2 in bank 2
    EXPECT_EQ(fpgaRead(board, 0x62), 0x01);
    interruptWrite(board, 0x31);
    EXPECT_EQ(fpgaRead(board, 0x62), 0x04);
    const Bytes sent = bulkRead(board, kPacketFrame, 1000ms);
    ASSERT_EQ(sent.size(), kPacketFrame);  // one read takes it all
    EXPECT_EQ(fpgaRead(board, 0x62), 0x00);
    EXPECT_TRUE(std::all_of(sent.begin() + kFrame, sent.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::any_of(sent.begin(), sent.begin() + kFrame, [](uint8_t b) { return b != 0; }));
    // Nothing is repeated in this layout.
    int result = 0;
    bulkRead(board, kPacketFrame, 30ms, &result);
    EXPECT_EQ(result, -ETIMEDOUT);
    // A trigger without a new frame sends the same bank again; so does a pulse of that bank,
    // whose length counts packets here.
    interruptWrite(board, 0x31);
    EXPECT_EQ(bulkRead(board, kPacketFrame, 1000ms), sent);
    pulseBank(board, 2, 0x0003AA);
    EXPECT_EQ(bulkRead(board, 2 * kPacketFrame, 1000ms), sent);
    EXPECT_EQ(frameCounts(board), std::make_pair(3, 3));
    // A newer frame goes out with the next trigger.
    board.advanceClock(5ms);
    interruptWrite(board, 0x31);
    const Bytes next = bulkRead(board, kPacketFrame, 1000ms);
    ASSERT_EQ(next.size(), kPacketFrame);
    EXPECT_NE(next, sent);
}

TEST(BoardPacketLayout, InterruptInCarriesTheFrameCounterUnlessPinned) {
    CameraBoard board(frameBoard(200, 0x01, 0x30), 0);
    EXPECT_EQ(interruptRead(board), 0u);
    board.advanceClock(35ms);
    EXPECT_EQ(interruptRead(board), 7u);
    board.advanceClock(5ms * (70000 - 7));
    EXPECT_EQ(interruptRead(board), 70000u & 0xFFFF);  // low 16 bits
    EXPECT_EQ(board.framesProduced(), 70000u);
    board.setInterruptInValue(0x00050102);
    EXPECT_EQ(interruptRead(board), 0x00050102u);
    board.advanceClock(5ms);
    EXPECT_EQ(interruptRead(board), 0x00050102u);
    board.clearInterruptInValue();
    EXPECT_EQ(interruptRead(board), 70001u & 0xFFFF);
}

TEST(BoardPacketLayout, OnlyTheTriggerByteStartsATransfer) {
    CameraBoard board(frameBoard(200, 0x01, 0x30), 0);
    board.advanceClock(5ms);
    interruptWrite(board, 0x30);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 0u);
    // The host's own receiver of interrupt OUT bytes still sees them, trigger or not.
    std::vector<uint8_t> seen;
    board.setInterruptOutHandler([&seen](const uint8_t* data, uint32_t length) {
        seen.insert(seen.end(), data, data + length);
    });
    interruptWrite(board, 0x31);
    EXPECT_EQ(seen, std::vector<uint8_t>{0x31});
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 1u);
    // Two triggers keep one frame queued.
    interruptWrite(board, 0x31);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), 1u);
}

TEST(BoardPacketLayout, UnthrottledCounterFindsAFreshFrameOnceTheNewestWasSent) {
    CameraBoard board(frameBoard(0, 0x02, 0x00), 0);
    Bytes last;
    for (int i = 1; i <= 5; ++i) {
        // Asked again before the trigger sent it, the counter stays.
        EXPECT_EQ(interruptRead(board), static_cast<uint32_t>(i));
        EXPECT_EQ(interruptRead(board), static_cast<uint32_t>(i));
        interruptWrite(board, 0x31);
        const Bytes frame = bulkRead(board, kPacketFrame, 1000ms);
        ASSERT_EQ(frame.size(), kPacketFrame);
        EXPECT_NE(frame, last);
        last = frame;
    }
}

// Design version (major, minor) and whether it has the packet layout.
class BoardLayoutBoundary : public testing::TestWithParam<std::tuple<int, int, bool>> {};

TEST_P(BoardLayoutBoundary, VersionChoosesTheLayout) {
    const auto [major, minor, packets] = GetParam();
    CameraBoard board(frameBoard(200, static_cast<uint8_t>(major), static_cast<uint8_t>(minor)), 0);
    board.advanceClock(10ms);
    // The trigger works in the packet layout only.
    interruptWrite(board, 0x31);
    EXPECT_EQ(board.bulkIn().queuedTransfers(), packets ? 1u : 0u);
    // The length unit: 16 words or 16 packets.
    pulseBank(board, 1, 16);
    EXPECT_EQ(bulkRead(board, 2 * kPacketFrame, 1000ms).size(), packets ? 8192u : 64u);
    // Only the word layout repeats.
    int result = 0;
    bulkRead(board, 2 * kPacketFrame, 30ms, &result);
    EXPECT_EQ(result, packets ? -ETIMEDOUT : 64);
}

INSTANTIATE_TEST_SUITE_P(Versions, BoardLayoutBoundary,
                         testing::Values(std::make_tuple(0x00, 0x50, false),
                                         std::make_tuple(0x01, 0x00, false),
                                         std::make_tuple(0x01, 0x2F, false),  // 1.47
                                         std::make_tuple(0x01, 0x30, true),   // 1.48
                                         std::make_tuple(0x02, 0x00, true),   // 2.0
                                         std::make_tuple(0xFF, 0x00, true)));
