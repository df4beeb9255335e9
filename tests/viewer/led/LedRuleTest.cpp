// The PCA9633 and PCA9530 rules on simulated boards: the exact transfers, in order.
#include <gtest/gtest.h>

#include "LedBoards.h"
#include "Pca9530Rule.h"
#include "Pca9633Rule.h"
#include "RecordingLedBus.h"

using hvtest::LedBoards;
using hvtest::RecordingLedBus;
using Transfers = std::vector<std::string>;

namespace {

// A rule run on a board through a bus that records its transfers.
class LedRules : public testing::Test {
protected:
    void openBoard(LedBoards::Board which) {
        board = boards.open(which);
        ASSERT_NE(board, nullptr);
    }
    template <class Rule, class... Setting>
    Transfers transfersOf(Setting... setting) {
        RecordingLedBus bus(board);
        Rule(bus).apply(setting...);
        return bus.transfers();
    }

    LedBoards boards;
    CamContext* board = nullptr;
};

TEST_F(LedRules, FailedReadsCountAsZeroOnAPca9633) {
    openBoard(LedBoards::Unreachable);
    EXPECT_EQ(transfersOf<hv::Pca9633Rule>(2, 2, 20, false),
              (Transfers{"r 62 00 = failed", "w 62 00 00", "r 62 08 = failed", "w 62 08 20",
                         "w 62 04 cc"}));
}

TEST_F(LedRules, AFailedReadOfThePca9530sLedCodesWritesNothing) {
    openBoard(LedBoards::Unreachable);
    EXPECT_EQ(transfersOf<hv::Pca9530Rule>(1, 3, 2.0, 25), (Transfers{"r 60 05 = failed"}));
}

class LedPca9633Rule : public LedRules {
protected:
    // MODE1 asleep (the chip's bit 7 reads back its auto-increment mode, off here), every
    // channel at code 11, PWM2 at 0x33.
    void SetUp() override {
        openBoard(LedBoards::WithPca9633);
        LedBoards::write(board, LedBoards::kPca9633, 0x00, 0x11);
        LedBoards::write(board, LedBoards::kPca9633, 0x08, 0xFF);
        LedBoards::write(board, LedBoards::kPca9633, 0x04, 0x33);
    }
    Transfers run(int channel, int mode, int duty, bool powerAtZeroOn) {
        return transfersOf<hv::Pca9633Rule>(channel, mode, duty, powerAtZeroOn);
    }
};

TEST_F(LedPca9633Rule, PwmChannelWakesTheChipAndRunsTheChannelOnItsOwnPwm) {
    // Illumination level 4: channel 2 at 10, channel 1 cleared, PWM2 = trunc(0.8 x 255).
    EXPECT_EQ(run(2, 2, 20, false), (Transfers{"r 62 00 = 11", "w 62 00 01", "r 62 08 = ff",
                                               "w 62 08 e3", "w 62 04 cc"}));
    EXPECT_EQ(LedBoards::read(board, LedBoards::kPca9633, 0x04), 204);
}

TEST_F(LedPca9633Rule, PwmAtZeroWithPowerAtZeroOffTurnsTheChannelOffAndChannelOneOn) {
    EXPECT_EQ(run(2, 3, 0, false), (Transfers{"r 62 00 = 11", "w 62 00 01", "r 62 08 = ff",
                                              "w 62 08 c7", "w 62 04 00"}));
}

TEST_F(LedPca9633Rule, PwmAtZeroWithPowerAtZeroOnRunsTheChannelAtOnePercent) {
    EXPECT_EQ(run(2, 2, 0, true), (Transfers{"r 62 00 = 11", "w 62 00 01", "r 62 08 = ff",
                                             "w 62 08 e3", "w 62 04 fc"}));
}

TEST_F(LedPca9633Rule, PwmOnChannelOneGivesItTheCodeThatWasJustCleared) {
    EXPECT_EQ(run(1, 2, 50, false), (Transfers{"r 62 00 = 11", "w 62 00 01", "r 62 08 = ff",
                                               "w 62 08 fb", "w 62 03 7f"}));
}

TEST_F(LedPca9633Rule, DutyIsLimitedToOneHundredPercent) {
    const Transfers transfers = run(0, 2, 150, false);
    ASSERT_EQ(transfers.size(), 5u);
    EXPECT_EQ(transfers[3], "w 62 08 f2");
    EXPECT_EQ(transfers[4], "w 62 02 00");
}

TEST_F(LedPca9633Rule, OnPutsTheChipToSleepWithEveryChannelAtZero) {
    LedBoards::write(board, LedBoards::kPca9633, 0x00, 0x01);
    EXPECT_EQ(run(3, 0, 40, false),
              (Transfers{"r 62 00 = 01", "w 62 00 11", "w 62 08 00", "w 62 05 00"}));
}

TEST_F(LedPca9633Rule, OffWakesTheChipWithEveryChannelAtOne) {
    EXPECT_EQ(run(2, 1, 40, true),
              (Transfers{"r 62 00 = 11", "w 62 00 01", "w 62 08 55", "w 62 04 00"}));
    EXPECT_EQ(LedBoards::read(board, LedBoards::kPca9633, 0x08), 0x55);
}

TEST_F(LedPca9633Rule, ModePwm3AndChannelsAboveThreeChangeNothing) {
    EXPECT_TRUE(run(2, 4, 20, false).empty());
    EXPECT_TRUE(run(4, 2, 20, false).empty());
    EXPECT_TRUE(run(-1, 2, 20, false).empty());
    EXPECT_EQ(LedBoards::read(board, LedBoards::kPca9633, 0x08), 0xFF);
}

class LedPca9530Rule : public LedRules {
protected:
    // LED 0 on, LED 1 off, both blink rates at their power-on values.
    void SetUp() override {
        openBoard(LedBoards::WithPca9530);
        LedBoards::write(board, LedBoards::kPca9530, 0x05, 0x01);
        for (const int reg : {0x01, 0x03}) {
            LedBoards::write(board, LedBoards::kPca9530, reg, 0x00);
        }
        for (const int reg : {0x02, 0x04}) {
            LedBoards::write(board, LedBoards::kPca9530, reg, 0x80);
        }
    }
    Transfers run(int led, int mode, double frequency, int duty) {
        return transfersOf<hv::Pca9530Rule>(led, mode, frequency, duty);
    }
};

TEST_F(LedPca9530Rule, PwmTwoSetsTheLedsCodeThenTheSecondBlinkRate) {
    EXPECT_EQ(run(1, 3, 2.0, 25),
              (Transfers{"r 60 05 = 01", "w 60 05 0d", "w 60 03 4b", "w 60 04 c0"}));
    EXPECT_EQ(LedBoards::read(board, LedBoards::kPca9530, 0x03), 75);
    EXPECT_EQ(LedBoards::read(board, LedBoards::kPca9530, 0x04), 192);
}

TEST_F(LedPca9530Rule, PwmOneSetsTheFirstBlinkRate) {
    EXPECT_EQ(run(0, 2, 19.0, 50),
              (Transfers{"r 60 05 = 01", "w 60 05 02", "w 60 01 07", "w 60 02 80"}));
}

TEST_F(LedPca9530Rule, FrequenciesBelowTheSlowestRateGetTheLargestPrescaler) {
    EXPECT_EQ(run(0, 2, 0.1, 25).at(2), "w 60 01 ff");
    EXPECT_EQ(run(0, 2, 0.59375, 25).at(2), "w 60 01 ff");
    EXPECT_EQ(run(0, 2, -3.0, 25).at(2), "w 60 01 ff");
}

TEST_F(LedPca9530Rule, DutyIsLimitedToOneToNinetyNinePercent) {
    EXPECT_EQ(run(0, 2, 2.0, 0).at(3), "w 60 02 fd");
    EXPECT_EQ(run(0, 2, 2.0, 100).at(3), "w 60 02 02");
}

TEST_F(LedPca9530Rule, OnAndOffSetOnlyTheLedsCode) {
    EXPECT_EQ(run(1, 1, 2.0, 25), (Transfers{"r 60 05 = 01", "w 60 05 05"}));
    EXPECT_EQ(run(0, 0, 2.0, 25), (Transfers{"r 60 05 = 05", "w 60 05 04"}));
}

TEST_F(LedPca9530Rule, ModePwm3AndLedsAboveOneChangeNothing) {
    EXPECT_TRUE(run(0, 4, 2.0, 25).empty());
    EXPECT_TRUE(run(2, 2, 2.0, 25).empty());
    EXPECT_EQ(LedBoards::read(board, LedBoards::kPca9530, 0x05), 0x01);
}

}  // namespace
