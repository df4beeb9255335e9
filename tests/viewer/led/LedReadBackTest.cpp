// Reading LED settings back: what the two controllers' rules write reads back as the same
// setting, and a controller that cannot be read gives none.
#include <gtest/gtest.h>

#include "CxLedBus.h"
#include "LedBoards.h"
#include "LedReadBack.h"
#include "Pca9530Rule.h"
#include "Pca9633Rule.h"

using hvtest::LedBoards;

namespace {

constexpr int kPca9633 = 0;
constexpr int kPca9530 = 1;

std::string describe(const std::optional<hv::LedReadBack::Setting>& setting) {
    if (!setting) {
        return "none";
    }
    std::string text =
        "mode " + std::to_string(setting->mode) + " duty " + std::to_string(setting->duty);
    if (setting->frequency) {
        text += " at " + std::to_string(static_cast<int>(*setting->frequency * 100)) + "/100 Hz";
    }
    return text;
}

TEST(LedReadBack, EveryPca9633SettingReadsBackAsWritten) {
    LedBoards boards;
    hv::CxLedBus bus(boards.open(LedBoards::WithPca9633));
    hv::LedReadBack back(bus);
    for (int channel = 0; channel < 4; ++channel) {
        hv::Pca9633Rule(bus).apply(channel, 1, 0, false);
        EXPECT_EQ(describe(back.read(kPca9633, channel)), "mode 1 duty 0") << channel;
        hv::Pca9633Rule(bus).apply(channel, 0, 0, false);
        EXPECT_EQ(describe(back.read(kPca9633, channel)), "mode 0 duty 0") << channel;
    }
    for (int duty = 0; duty <= 100; ++duty) {
        hv::Pca9633Rule(bus).apply(2, 2, duty, false);
        EXPECT_EQ(describe(back.read(kPca9633, 2)), "mode 2 duty " + std::to_string(duty));
    }
    // At 0% with "power at 0%" on, the channel runs at 1%.
    hv::Pca9633Rule(bus).apply(3, 3, 0, true);
    EXPECT_EQ(describe(back.read(kPca9633, 3)), "mode 2 duty 1");
}

TEST(LedReadBack, EveryPca9530SettingReadsBackWithItsBlinkRate) {
    LedBoards boards;
    hv::CxLedBus bus(boards.open(LedBoards::WithPca9530));
    hv::LedReadBack back(bus);
    hv::Pca9530Rule(bus).apply(0, 0, 0, 0);
    hv::Pca9530Rule(bus).apply(1, 1, 0, 0);
    EXPECT_EQ(describe(back.read(kPca9530, 0)), "mode 0 duty 0");
    EXPECT_EQ(describe(back.read(kPca9530, 1)), "mode 1 duty 0");
    for (int duty = 1; duty <= 99; ++duty) {
        hv::Pca9530Rule(bus).apply(1, 3, 76.0, duty);
        EXPECT_EQ(describe(back.read(kPca9530, 1)),
                  "mode 3 duty " + std::to_string(duty) + " at 7600/100 Hz");
    }
    hv::Pca9530Rule(bus).apply(0, 2, 190.0, 35);  // the fastest rate: 152 Hz
    EXPECT_EQ(describe(back.read(kPca9530, 0)), "mode 2 duty 35 at 15200/100 Hz");
    EXPECT_EQ(describe(back.read(kPca9530, 2)), "none");
    EXPECT_EQ(describe(back.read(7, 0)), "none");
}

TEST(LedReadBack, AControllerThatCannotBeReadGivesNoSetting) {
    LedBoards boards;
    hv::CxLedBus bus(boards.open(LedBoards::Unreachable));
    hv::LedReadBack back(bus);
    EXPECT_EQ(describe(back.read(kPca9633, 2)), "none");
    EXPECT_EQ(describe(back.read(kPca9530, 0)), "none");
}

}  // namespace
