// The LED page over simulated boards: the probe at initialisation, refresh and apply on the
// controller found, the illumination levels, and the form.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "LedBoards.h"
#include "ScriptedPrompts.h"
#include "SingleInstances.h"
#include "ledTabPage.h"

using hvtest::LedBoards;

namespace {

class LedTabPage : public testing::Test {
protected:
    void TearDown() override { hv::SingleInstances::destroyAll(); }

    // The page initialised over the boards, in order.
    hv::ledTabPage& pageOver(std::initializer_list<LedBoards::Board> list) {
        QStringList names;
        QList<CamContext*> handles;
        for (const LedBoards::Board board : list) {
            handles << boards.open(board);
            names << QString::fromStdString(boards.name(board));
        }
        hv::ledTabPage* page = hv::ledTabPage::instance();
        EXPECT_NE(page, nullptr);
        page->initialise(nullptr, static_cast<int>(handles.size()), names, handles);
        return *page;
    }
    CamContext* handle(int index) const { return hv::ledTabPage::instance()->handleAt(index); }

    template <class Widget>
    static Widget& widget(hv::ledTabPage& page, const char* name) {
        auto* found = page.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    static QComboBox& combo(hv::ledTabPage& page, const char* name) {
        return widget<QComboBox>(page, name);
    }
    static QLineEdit& field(hv::ledTabPage& page, const char* name) {
        return widget<QLineEdit>(page, name);
    }

    // A PCA9633 with every channel at code 11 and PWM2 at 0x33.
    static void dirtyPca9633(CamContext* board) {
        LedBoards::write(board, LedBoards::kPca9633, 0x08, 0xFF);
        LedBoards::write(board, LedBoards::kPca9633, 0x04, 0x33);
    }
    // A PCA9530 with both LEDs at code 11 and both blink rates at 0x33 / 0x33.
    static void dirtyPca9530(CamContext* board) {
        for (const int reg : {0x01, 0x02, 0x03, 0x04}) {
            LedBoards::write(board, LedBoards::kPca9530, reg, 0x33);
        }
        LedBoards::write(board, LedBoards::kPca9530, 0x05, 0x0F);
    }
    static int pca9633(CamContext* board, int reg) {
        return LedBoards::read(board, LedBoards::kPca9633, reg);
    }
    static int pca9530(CamContext* board, int reg) {
        return LedBoards::read(board, LedBoards::kPca9530, reg);
    }

    LedBoards boards;
};

TEST_F(LedTabPage, InitialisationFindsThePca9633AndAppliesTheRecordedSetting) {
    CamContext* board = boards.open(LedBoards::WithPca9633);
    dirtyPca9633(board);
    hv::ledTabPage* page = hv::ledTabPage::instance();
    page->initialise(nullptr, 1, {QString::fromStdString(boards.name(LedBoards::WithPca9633))},
                     {board});
    EXPECT_TRUE(page->available());
    EXPECT_EQ(page->controllerFound(), 0);
    // LED 2 at PWM 1 with duty 0 and power at 0% off: channel 2 off, channel 1 on.
    EXPECT_EQ(pca9633(board, 0x08), 0xC7);
    EXPECT_EQ(pca9633(board, 0x04), 0);
}

TEST_F(LedTabPage, TheProbeGoesOnToTheNextDeviceWhenTheFirstHasNoController) {
    hv::ledTabPage& page = pageOver({LedBoards::Silent, LedBoards::WithPca9530});
    EXPECT_TRUE(page.available());
    EXPECT_EQ(page.controllerFound(), 1);
}

TEST_F(LedTabPage, APageWhoseProbeFoundNothingDoesNothing) {
    hv::ledTabPage& page = pageOver({LedBoards::Silent});
    EXPECT_FALSE(page.available());
    EXPECT_EQ(page.controllerFound(), -1);
    page.refresh(0, 1, 1, 3, 2.0, 25);
    page.setIllumination(0, 7);
    EXPECT_EQ(combo(page, "cbLedCtrlSel").currentIndex(), 0);
    EXPECT_EQ(combo(page, "cbLedDevSel").currentIndex(), 2);
    EXPECT_EQ(combo(page, "cbLedCfgSel").currentIndex(), 2);
    EXPECT_EQ(field(page, "leLedDutyCycle").text(), "0");
    EXPECT_EQ(field(page, "leLedPWBFreq").text(), "190");
}

TEST_F(LedTabPage, RefreshShowsTheSettingAndAppliesItToTheRecordedDevice) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9633, LedBoards::WithPca9530});
    dirtyPca9530(handle(1));
    page.refresh(1, 1, 1, 3, 2.0, 25);
    EXPECT_EQ(combo(page, "cbDevNoSel").currentIndex(), 1);
    EXPECT_EQ(combo(page, "cbLedCtrlSel").currentText(), "PCA9530");
    EXPECT_EQ(combo(page, "cbLedDevSel").currentText(), "LED 1");
    EXPECT_EQ(combo(page, "cbLedCfgSel").currentText(), "PWM 2");
    EXPECT_EQ(field(page, "leLedDutyCycle").text(), "25");
    EXPECT_EQ(field(page, "leLedPWBFreq").text(), "2");
    EXPECT_EQ(pca9530(handle(1), 0x05), 0x0F);
    EXPECT_EQ(pca9530(handle(1), 0x03), 75);
    EXPECT_EQ(pca9530(handle(1), 0x04), 192);
    EXPECT_EQ(pca9530(handle(1), 0x01), 0x33);

    page.refresh(1, 1, 0, 2, 12.3456789, 25);
    EXPECT_EQ(field(page, "leLedPWBFreq").text(), "12.3456789");
    EXPECT_EQ(pca9530(handle(1), 0x05), 0x0E);
    EXPECT_EQ(pca9530(handle(1), 0x01), 11);
}

TEST_F(LedTabPage, RefreshWithoutADeviceWritesNothing) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9633});
    dirtyPca9633(handle(0));
    page.refresh(-1, 0, 2, 2, 190.0, 0);
    EXPECT_EQ(combo(page, "cbDevNoSel").currentIndex(), -1);
    EXPECT_EQ(pca9633(handle(0), 0x08), 0xFF);
    EXPECT_EQ(pca9633(handle(0), 0x04), 0x33);
}

TEST_F(LedTabPage, ApplyRunsTheRuleOfTheControllerGiven) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9530});
    dirtyPca9530(handle(0));
    page.apply(2, 1, 3, 2.0, 25);
    page.apply(0, 1, 3, 2.0, 25);
    EXPECT_EQ(pca9530(handle(0), 0x05), 0x0F);
    page.apply(1, 0, 1, 2.0, 25);
    EXPECT_EQ(pca9530(handle(0), 0x05), 0x0D);
}

TEST_F(LedTabPage, IlluminationOnAPca9633RunsChannelTwoAtFivePercentPerLevel) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9633});
    dirtyPca9633(handle(0));
    page.setIllumination(0, 4);
    EXPECT_EQ(pca9633(handle(0), 0x08), 0xE3);
    EXPECT_EQ(pca9633(handle(0), 0x04), 204);
    EXPECT_EQ(field(page, "leLedDutyCycle").text(), "20");

    page.setIllumination(0, 0);
    EXPECT_EQ(pca9633(handle(0), 0x08), 0xC7);
    EXPECT_EQ(pca9633(handle(0), 0x04), 0);
}

TEST_F(LedTabPage, IlluminationOnAPca9530BlinksBothLedsAtTheFirstRateOrDrivesThemOn) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9530});
    dirtyPca9530(handle(0));
    page.setIllumination(0, 5);
    EXPECT_EQ(pca9530(handle(0), 0x05), 0x0A);
    EXPECT_EQ(pca9530(handle(0), 0x01), 0);
    EXPECT_EQ(pca9530(handle(0), 0x02), 192);
    EXPECT_EQ(pca9530(handle(0), 0x04), 0x33);
    EXPECT_EQ(combo(page, "cbLedCtrlSel").currentText(), "PCA9530");

    page.setIllumination(0, 10);
    EXPECT_EQ(pca9530(handle(0), 0x02), 128);

    // Level 0: both drivers on, which darkens the lamp.
    page.setIllumination(0, 0);
    EXPECT_EQ(pca9530(handle(0), 0x05), 0x05);
}

TEST_F(LedTabPage, SetLedSettingsAppliesWhatTheOperatorChose) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9633, LedBoards::WithPca9530});
    dirtyPca9530(handle(1));
    combo(page, "cbDevNoSel").setCurrentIndex(1);
    combo(page, "cbLedCtrlSel").setCurrentIndex(1);
    combo(page, "cbLedDevSel").setCurrentIndex(1);
    combo(page, "cbLedCfgSel").setCurrentIndex(3);
    field(page, "leLedDutyCycle").setText("25");
    field(page, "leLedPWBFreq").setText("2");
    widget<QPushButton>(page, "pbSetLedSettings").click();
    EXPECT_EQ(pca9530(handle(1), 0x05), 0x0F);
    EXPECT_EQ(pca9530(handle(1), 0x03), 75);
    EXPECT_EQ(pca9530(handle(1), 0x04), 192);
}

TEST_F(LedTabPage, TextThatIsNoNumberKeepsTheLastDutyAndFrequency) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9530});
    page.refresh(0, 1, 1, 3, 2.0, 25);
    dirtyPca9530(handle(0));
    field(page, "leLedDutyCycle").setText("2x");
    field(page, "leLedDutyCycle").setText("");
    field(page, "leLedPWBFreq").setText("fast");
    field(page, "leLedPWBFreq").setText("nan");
    widget<QPushButton>(page, "pbSetLedSettings").click();
    EXPECT_EQ(pca9530(handle(0), 0x03), 75);
    EXPECT_EQ(pca9530(handle(0), 0x04), 192);
}

TEST_F(LedTabPage, GetLedSettingsShowsWhatTheChosenControllerHolds) {
    hvtest::ScriptedPrompts prompts;
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9530, LedBoards::Unreachable});
    // LED 1 on blink rate 1 (code 11): prescaler 1 (76 Hz), duty register 166 (35%).
    LedBoards::write(handle(0), LedBoards::kPca9530, 0x05, 0x0C);
    LedBoards::write(handle(0), LedBoards::kPca9530, 0x03, 1);
    LedBoards::write(handle(0), LedBoards::kPca9530, 0x04, 166);
    combo(page, "cbLedCtrlSel").setCurrentIndex(1);
    combo(page, "cbLedDevSel").setCurrentIndex(1);
    widget<QPushButton>(page, "pbGetLedSettings").click();
    EXPECT_EQ(combo(page, "cbLedCfgSel").currentIndex(), 3);
    EXPECT_EQ(field(page, "leLedDutyCycle").text(), "35");
    EXPECT_EQ(field(page, "leLedPWBFreq").text(), "76");
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    // What was read back is what "Set LED Settings" applies.
    dirtyPca9530(handle(0));
    widget<QPushButton>(page, "pbSetLedSettings").click();
    EXPECT_EQ(pca9530(handle(0), 0x05), 0x0F);
    EXPECT_EQ(pca9530(handle(0), 0x03), 1);
    EXPECT_EQ(pca9530(handle(0), 0x04), 166);

    // A board whose controller cannot be read: said, and nothing shown changes.
    combo(page, "cbDevNoSel").setCurrentIndex(1);
    widget<QPushButton>(page, "pbGetLedSettings").click();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"WARNING::Fail to read the LED settings back!!!"}));
    EXPECT_EQ(field(page, "leLedDutyCycle").text(), "35");
}

TEST_F(LedTabPage, PowerAtZeroOnKeepsAPwmChannelAtOnePercent) {
    hv::ledTabPage& page = pageOver({LedBoards::WithPca9633});
    dirtyPca9633(handle(0));
    combo(page, "cbLedPowerZero").setCurrentIndex(0);
    widget<QPushButton>(page, "pbSetLedSettings").click();
    EXPECT_EQ(pca9633(handle(0), 0x08), 0xE3);
    EXPECT_EQ(pca9633(handle(0), 0x04), 252);
}

}  // namespace
