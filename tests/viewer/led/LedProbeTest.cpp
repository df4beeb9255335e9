// Finding the LED controller on each kind of simulated board.
#include <gtest/gtest.h>

#include "LedBoards.h"
#include "LedProbe.h"
#include "RecordingLedBus.h"

using hvtest::LedBoards;
using hvtest::RecordingLedBus;
using Transfers = std::vector<std::string>;

namespace {

TEST(LedProbe, APca9633AnswersItsFirstRead) {
    LedBoards boards;
    CamContext* board = boards.open(LedBoards::WithPca9633);
    LedBoards::write(board, LedBoards::kPca9633, 0x00, 0x11);
    RecordingLedBus bus(board);
    EXPECT_EQ(hv::LedProbe::find(bus), hv::LedProbe::kPca9633);
    EXPECT_EQ(bus.transfers(), (Transfers{"r 62 00 = 11"}));
}

TEST(LedProbe, APca9530IsAskedForAfterThePca9633FailedBothReads) {
    LedBoards boards;
    RecordingLedBus bus(boards.open(LedBoards::WithPca9530));
    EXPECT_EQ(hv::LedProbe::find(bus), hv::LedProbe::kPca9530);
    ASSERT_EQ(bus.transfers().size(), 3u);
    EXPECT_EQ(bus.transfers()[0], "r 62 00 = cd");
    EXPECT_EQ(bus.transfers()[1], "r 62 01 = cd");
    EXPECT_EQ(bus.transfers()[2].substr(0, 10), "r 60 00 = ");
}

TEST(LedProbe, ABoardWhoseControllerDoesNotAcknowledgeHasNone) {
    LedBoards boards;
    RecordingLedBus bus(boards.open(LedBoards::Silent));
    EXPECT_EQ(hv::LedProbe::find(bus), hv::LedProbe::kNone);
    EXPECT_EQ(bus.transfers(),
              (Transfers{"r 62 00 = cd", "r 62 01 = cd", "r 60 00 = cd", "r 60 01 = cd"}));
}

TEST(LedProbe, ReadsThatFailAreNoAnswer) {
    LedBoards boards;
    RecordingLedBus bus(boards.open(LedBoards::Unreachable));
    EXPECT_EQ(hv::LedProbe::find(bus), hv::LedProbe::kNone);
    EXPECT_EQ(bus.transfers(), (Transfers{"r 62 00 = failed", "r 62 01 = failed",
                                          "r 60 00 = failed", "r 60 01 = failed"}));
}

}  // namespace
