// The AWB page over simulated boards: the device set-up, the three modes as single bits, the
// gains kept in step between slider, spin box and board, and the picture's colour balance
// following the manual gains. Transfers are noted by a recording register port.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <array>

#include "AWBTabPage.h"
#include "BoardInfoTabPage.h"
#include "PageTest.h"
#include "setupDialog.h"

using hvtest::PageBoards;

namespace {

constexpr int kIsp = 0x4000;
constexpr int kAwb = 0x4100;

class AWBTabPage : public hvtest::PageTest<hv::AWBTabPage> {
protected:
    // The first board's mode registers at their power-on values (AWB on before the gains,
    // automatic gains, fast AWB off), whatever an earlier test left.
    void SetUp() override {
        boards.setSensor(PageBoards::First, kIsp, 0x18);
        boards.setSensor(PageBoards::First, kAwb, 0x04);
    }
    // The page over the first board with manual gains, its transfers noted from then on.
    hv::AWBTabPage& manualPage() {
        hv::AWBTabPage& page = pageOver({PageBoards::First});
        choose(combo(page, "awbGainSel"), 1);
        port.clear();
        return page;
    }

    static QComboBox& combo(hv::AWBTabPage& page, const char* name) {
        return widget<QComboBox>(page, name);
    }
    // What the operator's choice of an entry does.
    static void choose(QComboBox& combo, int index) {
        combo.setCurrentIndex(index);
        emit combo.activated(index);
    }
    // The fifteen widgets of the manual gains: enabled ones counted.
    static int enabledGainWidgets(hv::AWBTabPage& page) {
        int enabled = 0;
        for (const char* name :
             {"redGainSlider", "greenGainSlider", "blueGainSlider", "redSpinBox", "greenSpinBox",
              "blueSpinBox", "lbRedGain", "lbGreenGain", "lbBlueGain", "lbRed", "lbCyan", "lbGreen",
              "lbMagenta", "lbBlue", "lbYellow"}) {
            enabled += widget<QWidget>(page, name).isEnabled() ? 1 : 0;
        }
        return enabled;
    }

    // Mean red, green and blue of a fresh frame of the board.
    std::array<double, 3> meanColour(PageBoards::Board board) {
        std::vector<uint8_t> frame(PageBoards::kFrameBytes + 256);
        EXPECT_GE(acquireOneFrame(boards.handle(board), frame.data()), PageBoards::kFrameBytes);
        std::array<double, 3> sums{};
        for (int i = 0; i < PageBoards::kFrameBytes; ++i) {
            sums[static_cast<std::size_t>(i % 3)] += frame[static_cast<std::size_t>(i)];
        }
        for (double& sum : sums) {
            sum /= PageBoards::kFrameBytes / 3;
        }
        return sums;
    }
};

TEST_F(AWBTabPage, TheFormCarriesTheNamedWidgetsAndTexts) {
    hv::AWBTabPage& page = pageOver({});
    const auto items = [&](const char* name) {
        QStringList texts;
        for (int i = 0; i < combo(page, name).count(); ++i) {
            texts << combo(page, name).itemText(i);
        }
        return texts;
    };
    EXPECT_EQ(items("awbSel"), QStringList({"Before AWB Gain", "After AWB Gain", "Disable"}));
    EXPECT_EQ(items("awbGainSel"), QStringList({"Auto", "Manual", "Disable"}));
    EXPECT_EQ(items("fastAwbSel"), QStringList({"Enable", "Disable"}));
    QStringList labels;
    for (const char* name :
         {"lbDevNoSel", "lbAwbSel", "lbAwbGainSel", "lbFastAwbSel", "lbRedGain", "lbRed", "lbCyan",
          "lbGreenGain", "lbGreen", "lbMagenta", "lbBlueGain", "lbBlue", "lbYellow"}) {
        labels << widget<QLabel>(page, name).text();
    }
    EXPECT_EQ(labels,
              QStringList({"  Device#", "  AWB", "  AWB Gain", "  Fast AWB", "  Red Gain", "  R",
                           "  C", "  Green Gain", "  G", " M", "  Blue Gain", "  B", "  Y"}));
}

TEST_F(AWBTabPage, TheSetupDialogHostsItAndTheBoardInformationPageInTheirTabs) {
    hv::setupDialog dialog;
    dialog.initialise(nullptr, 0, {}, {});
    EXPECT_FALSE(prompts.messageTexts().contains("WARNING::Fail to get AWB Tab Page!!!"));
    ASSERT_NE(hv::AWBTabPage::instance(), nullptr);
    ASSERT_NE(hv::BoardInfoTabPage::instance(), nullptr);
    EXPECT_EQ(hv::AWBTabPage::instance()->parentWidget(), dialog.findChild<QWidget*>("tabAWB"));
    EXPECT_EQ(hv::BoardInfoTabPage::instance()->parentWidget(),
              dialog.findChild<QWidget*>("tabBoadInfo"));
}

TEST_F(AWBTabPage, SetUpTurnsAwbOnBeforeTheGainsWithAutomaticGainsOf1200) {
    boards.setSensor(PageBoards::First, kIsp, 0x07);
    boards.setSensor(PageBoards::First, kAwb, 0x28);
    boards.setSensor(PageBoards::First, 0x4106, 0x0F);
    hv::AWBTabPage& page = pageOver({PageBoards::First});
    // Each mode bit read, changed alone and written back; then each gain, low byte first.
    EXPECT_EQ(port.writes(),
              QStringList({"35 4000 17", "35 4100 2c", "35 4000 1f", "35 4100 24", "35 4107 b0",
                           "35 4106 04", "35 4109 b0", "35 4108 04", "35 410b b0", "35 410a 04"}));
    EXPECT_EQ(boards.sensor(PageBoards::First, kIsp), 0x1F);
    EXPECT_EQ(boards.sensor(PageBoards::First, kAwb), 0x24);
    EXPECT_EQ(combo(page, "awbSel").currentIndex(), 0);
    EXPECT_EQ(combo(page, "awbGainSel").currentIndex(), 0);
    EXPECT_EQ(combo(page, "fastAwbSel").currentText(), "Disable");
    EXPECT_TRUE(combo(page, "fastAwbSel").isEnabled());
    EXPECT_EQ(enabledGainWidgets(page), 0);
    for (const char* name : {"redGainSlider", "greenGainSlider", "blueGainSlider"}) {
        const QSlider& slider = widget<QSlider>(page, name);
        EXPECT_EQ(slider.value(), 1200) << name;
        EXPECT_EQ(slider.maximum(), 4095) << name;
    }
    for (const char* name : {"redSpinBox", "greenSpinBox", "blueSpinBox"}) {
        EXPECT_EQ(widget<QSpinBox>(page, name).value(), 1200) << name;
    }
}

TEST_F(AWBTabPage, SetUpShowsFastAwbAsTheBoardHasIt) {
    boards.setSensor(PageBoards::First, kAwb, 0x40);
    hv::AWBTabPage& page = pageOver({PageBoards::First});
    EXPECT_EQ(combo(page, "fastAwbSel").currentText(), "Enable");
    EXPECT_EQ(boards.sensor(PageBoards::First, kAwb), 0x44);
}

TEST_F(AWBTabPage, AnotherDeviceIsSetUpWhenChosenButNotTwice) {
    hv::AWBTabPage& page = pageOver({PageBoards::First, PageBoards::Second});
    boards.setSensor(PageBoards::Second, kIsp, 0x00);
    boards.setSensor(PageBoards::Second, 0x410A, 0x0A);
    port.clear();
    combo(page, "cbDevNoSel").setCurrentIndex(1);
    EXPECT_EQ(port.writes().size(), 10);
    EXPECT_EQ(boards.sensor(PageBoards::Second, kIsp), 0x18);
    EXPECT_EQ(boards.sensor(PageBoards::Second, 0x410A), 0x04);
    port.clear();
    page.OnDevNoSel(1);
    page.OnDevNoSel(-1);
    EXPECT_TRUE(port.writes().isEmpty());
}

TEST_F(AWBTabPage, DisablingAwbClearsItsBitRewritesThePlacementAndDisablesFastAwb) {
    hv::AWBTabPage& page = pageOver({PageBoards::First});
    port.clear();
    choose(combo(page, "fastAwbSel"), 0);
    choose(combo(page, "awbSel"), 2);
    EXPECT_EQ(port.writes(), QStringList({"35 4100 44", "35 4000 08", "35 4100 44"}));
    EXPECT_FALSE(combo(page, "fastAwbSel").isEnabled());

    // AWB after the gains: on again, bit 2 cleared; fast AWB shows its recorded choice again.
    combo(page, "fastAwbSel").setCurrentIndex(1);
    port.clear();
    choose(combo(page, "awbSel"), 1);
    EXPECT_EQ(port.writes(), QStringList({"35 4000 18", "35 4100 40"}));
    EXPECT_TRUE(combo(page, "fastAwbSel").isEnabled());
    EXPECT_EQ(combo(page, "fastAwbSel").currentText(), "Enable");

    // The same choices again write nothing.
    port.clear();
    choose(combo(page, "awbSel"), 1);
    choose(combo(page, "fastAwbSel"), 0);
    EXPECT_TRUE(port.writes().isEmpty());
}

TEST_F(AWBTabPage, GainModesSetTheirTwoBitsAndOnlyManualEnablesTheGainWidgets) {
    hv::AWBTabPage& page = pageOver({PageBoards::First});
    port.clear();
    choose(combo(page, "awbGainSel"), 1);
    EXPECT_EQ(port.writes(), QStringList({"35 4000 18", "35 4100 0c"}));
    EXPECT_EQ(enabledGainWidgets(page), 15);

    port.clear();
    choose(combo(page, "awbGainSel"), 2);
    EXPECT_EQ(port.writes(), QStringList({"35 4000 10", "35 4100 04"}));
    EXPECT_EQ(enabledGainWidgets(page), 0);

    choose(combo(page, "awbGainSel"), 0);
    EXPECT_EQ(boards.sensor(PageBoards::First, kIsp), 0x18);
    EXPECT_EQ(boards.sensor(PageBoards::First, kAwb), 0x04);

    // The widgets follow the mode even when the choice did not change it.
    widget<QSlider>(page, "redGainSlider").setEnabled(true);
    port.clear();
    choose(combo(page, "awbGainSel"), 0);
    EXPECT_TRUE(port.writes().isEmpty());
    EXPECT_EQ(enabledGainWidgets(page), 0);
}

TEST_F(AWBTabPage, FastAwbIsBitSixAlone) {
    hv::AWBTabPage& page = pageOver({PageBoards::First});
    boards.setSensor(PageBoards::First, kAwb, 0xA5);
    port.clear();
    choose(combo(page, "fastAwbSel"), 0);
    choose(combo(page, "fastAwbSel"), 1);
    EXPECT_EQ(port.writes(), QStringList({"35 4100 e5", "35 4100 a5"}));
}

TEST_F(AWBTabPage, TheLargestGainWritesFifteenHighAndAllOnesLow) {
    hv::AWBTabPage& page = manualPage();
    widget<QSpinBox>(page, "redSpinBox").setValue(4095);
    EXPECT_EQ(port.writes(), QStringList({"35 4106 0f", "35 4107 ff"}));
    EXPECT_EQ(widget<QSlider>(page, "redGainSlider").value(), 4095);
    EXPECT_EQ(boards.sensor(PageBoards::First, 0x4106), 0x0F);
    EXPECT_EQ(boards.sensor(PageBoards::First, 0x4107), 0xFF);
}

TEST_F(AWBTabPage, EitherWidgetOfAColourWritesItsRegistersOnceAndTheOtherFollows) {
    hv::AWBTabPage& page = manualPage();
    struct Case {
        const char* moved;
        const char* other;
        int value;
        QStringList writes;
    };
    const Case cases[] = {
        {"redGainSlider", "redSpinBox", 300, {"35 4106 01", "35 4107 2c"}},
        {"redSpinBox", "redGainSlider", 2048, {"35 4106 08", "35 4107 00"}},
        {"greenGainSlider", "greenSpinBox", 17, {"35 4108 00", "35 4109 11"}},
        {"greenSpinBox", "greenGainSlider", 3000, {"35 4108 0b", "35 4109 b8"}},
        {"blueGainSlider", "blueSpinBox", 0, {"35 410a 00", "35 410b 00"}},
        {"blueSpinBox", "blueGainSlider", 1025, {"35 410a 04", "35 410b 01"}},
    };
    for (const Case& c : cases) {
        port.clear();
        auto* moved = page.findChild<QWidget*>(c.moved);
        if (auto* slider = qobject_cast<QSlider*>(moved)) {
            slider->setValue(c.value);
        } else {
            qobject_cast<QSpinBox*>(moved)->setValue(c.value);
        }
        EXPECT_EQ(port.writes(), c.writes) << c.moved;
        auto* other = page.findChild<QWidget*>(c.other);
        const int shown = qobject_cast<QSlider*>(other) ? qobject_cast<QSlider*>(other)->value()
                                                        : qobject_cast<QSpinBox*>(other)->value();
        EXPECT_EQ(shown, c.value) << c.other;
    }
}

TEST_F(AWBTabPage, AGainTheBoardHoldsAlreadyIsNotWrittenButShownByBoth) {
    hv::AWBTabPage& page = manualPage();
    widget<QSlider>(page, "redGainSlider").setValue(1000);
    // The board goes back to 1200 behind the page's back; its high register's upper nibble is
    // not part of the gain, so a write would show.
    boards.setSensor(PageBoards::First, 0x4106, 0x14);
    boards.setSensor(PageBoards::First, 0x4107, 0xB0);
    port.clear();
    widget<QSlider>(page, "redGainSlider").setValue(1200);
    EXPECT_TRUE(port.writes().isEmpty());
    EXPECT_EQ(widget<QSpinBox>(page, "redSpinBox").value(), 1200);
    EXPECT_EQ(boards.sensor(PageBoards::First, 0x4106), 0x14);
}

TEST_F(AWBTabPage, WithoutDevicesNothingIsReadOrWritten) {
    hv::AWBTabPage& page = pageOver({});
    EXPECT_EQ(combo(page, "cbDevNoSel").count(), 0);
    choose(combo(page, "awbSel"), 2);
    choose(combo(page, "awbGainSel"), 1);
    choose(combo(page, "fastAwbSel"), 0);
    widget<QSpinBox>(page, "blueSpinBox").setValue(99);
    EXPECT_TRUE(port.writes().isEmpty());
    EXPECT_EQ(port.reads(), 0);
    EXPECT_FALSE(combo(page, "fastAwbSel").isEnabled());
    EXPECT_EQ(enabledGainWidgets(page), 15);
    EXPECT_EQ(widget<QSlider>(page, "blueGainSlider").value(), 99);
}

TEST_F(AWBTabPage, ManualGainsChangeThePicturesColourBalance) {
    hv::AWBTabPage& page = manualPage();
    const std::array<double, 3> before = meanColour(PageBoards::First);
    widget<QSpinBox>(page, "redSpinBox").setValue(2000);
    widget<QSlider>(page, "blueGainSlider").setValue(600);
    const std::array<double, 3> after = meanColour(PageBoards::First);
    ASSERT_GT(before[1], 10.0);
    ASSERT_GT(after[1], 10.0);
    // Red against green up by well over a third, blue against green down by a third.
    EXPECT_GT(after[0] / after[1], 1.35 * before[0] / before[1]);
    EXPECT_LT(after[2] / after[1], 0.67 * before[2] / before[1]);

    // With the gains off the balance no longer follows them.
    choose(combo(page, "awbGainSel"), 2);
    const std::array<double, 3> off = meanColour(PageBoards::First);
    EXPECT_LT(off[0] / off[1], after[0] / after[1]);
}

}  // namespace
