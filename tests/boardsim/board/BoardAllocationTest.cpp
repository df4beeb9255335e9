// Frames in the steady state allocate nothing: buffers, banks and queues are reused. Counts the
// allocations of this test program through its own operator new. A board that has not streamed
// holds little: what frames need is allocated with the first frame.
#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "support/BoardWire.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* block = std::malloc(size != 0 ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}

// The blocks come from malloc above; GCC cannot tell and warns of a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

using namespace boardwire;
using namespace std::chrono_literals;

namespace {

// The host's side of one frame in either layout; false when the read failed.
bool hostFrame(CameraBoard& board, bool packets, int& lastBank, uint8_t* buffer) {
    uint8_t value = 0;
    if (packets) {
        uint8_t counter[4];
        uint8_t trigger = 0x31;
        board.handleData(CameraBoard::kInterruptIn, counter, 4, 20ms);
        board.handleControl({kVendorIn, 0xA9, 0x62, kFpga, 1}, &value);
        board.handleData(CameraBoard::kInterruptOut, &trigger, 1, 20ms);
    } else {
        board.handleControl({kVendorIn, 0xA9, 0x62, kFpga, 1}, &value);
        board.handleControl({kVendorIn, 0xA9, 0x77, kFpga, 1}, &value);
        const int bank = value & 3;
        if (bank != lastBank) {
            uint8_t address = static_cast<uint8_t>(0x80 + 0x10 * bank);
            uint8_t low = 0;
            uint8_t high = 1;
            board.handleControl({kVendorOut, 0xA9, 0x65, kFpga, 1}, &address);
            board.handleControl({kVendorOut, 0xA9, 0x61, kFpga, 1}, &low);
            board.handleControl({kVendorOut, 0xA9, 0x61, kFpga, 1}, &high);
            lastBank = bank;
        }
    }
    int received = 0;
    while (received < 480000) {
        const int got = board.handleData(CameraBoard::kBulkIn, buffer + received,
                                         480256 - static_cast<uint32_t>(received), 1000ms);
        if (got <= 0) {
            return false;
        }
        received += got;
    }
    return true;
}

// Bytes the heap holds now, small blocks and mapped ones.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

TEST(BoardAllocation, AnIdleBoardHoldsLittleMemory) {
    // The scene texture is shared by the boards of a seed: the first board draws it.
    const CameraBoard first(frameBoard(30, 0x01, 0x30), 0);
    constexpr std::size_t kBoards = 20;
    std::vector<std::unique_ptr<CameraBoard>> boards;
    boards.reserve(kBoards);
    const std::size_t before = heapInUse();
    for (std::size_t n = 0; n < kBoards; ++n) {
        boards.push_back(
            std::make_unique<CameraBoard>(frameBoard(30, 0x01, 0x30), static_cast<int>(1 + n)));
    }
    const std::size_t perBoard = (heapInUse() - before) / kBoards;
    // Its registers, EEPROMs and the sectors of its flash that hold the design.
    EXPECT_LT(perBoard, 128u * 1024) << perBoard;
}

TEST(BoardAllocation, SteadyStateFramesAllocateNothing) {
    std::vector<uint8_t> buffer(480256);
    for (const bool packets : {false, true}) {
        CameraBoard board(frameBoard(0, 0x01, packets ? 0x30 : 0x2F), 0);
        int lastBank = 0;
        for (int i = 0; i < 20; ++i) {
            ASSERT_TRUE(hostFrame(board, packets, lastBank, buffer.data()));
        }
        const long before = g_allocations;
        bool read = true;
        for (int i = 0; i < 50 && read; ++i) {
            read = hostFrame(board, packets, lastBank, buffer.data());
        }
        const long allocated = g_allocations - before;
        EXPECT_TRUE(read);
        EXPECT_EQ(allocated, 0) << (packets ? "packet layout" : "word layout");
    }
}

TEST(BoardAllocation, SteadyStateStreamAllocatesNothing) {
    CameraBoard board(frameBoard(0, 0x01, 0x2F, "MV3318"), 0);
    ASSERT_EQ(acquisition(board, 1), 0);
    std::vector<uint8_t> buffer(480000);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(board.handleData(CameraBoard::kBulkIn, buffer.data(), 480000, 1000ms), 480000);
    }
    const long before = g_allocations;
    int read = 480000;
    for (int i = 0; i < 50 && read == 480000; ++i) {
        read = board.handleData(CameraBoard::kBulkIn, buffer.data(), 480000, 1000ms);
    }
    const long allocated = g_allocations - before;
    EXPECT_EQ(read, 480000);
    // The producer thread runs beside the reads: when it falls behind on a loaded machine its
    // queue of spare buffers may grow once or twice. A per-frame allocation would show 50.
    EXPECT_LE(allocated, 4);
}
