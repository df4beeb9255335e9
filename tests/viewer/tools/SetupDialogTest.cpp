#include <gtest/gtest.h>

#include <QPointer>
#include <QTabWidget>
#include <tuple>

#include "AWBTabPage.h"
#include "AecAgcTabPage.h"
#include "BoardInfoTabPage.h"
#include "FPGATabPage.h"
#include "FakeTabPage.h"
#include "I2CTabPage.h"
#include "ScriptedPrompts.h"
#include "SingleInstances.h"
#include "ledTabPage.h"
#include "setupDialog.h"

namespace {

using LedCall = std::tuple<int, int, int, int, double, int>;

class SetupDialogTest : public testing::Test {
protected:
    void TearDown() override {
        // The pages are the test's: the dialog only hosts them.
        delete first;
        delete second;
        hv::SingleInstances::destroyAll();
    }

    // Two tabs with test pages, the second one missing until a page is put in; LED refreshes are
    // recorded.
    hv::setupDialog::Pages testPages() {
        hv::setupDialog::Pages pages;
        pages.tabs = {{"tabOne", "One", "one missing", [this] { return first.data(); }},
                      {"tabTwo", "Two", "two missing", [this] { return second.data(); }}};
        pages.refreshLed = [this](int device, int controller, int led, int mode, double frequency,
                                  int duty) {
            ledCalls.emplace_back(device, controller, led, mode, frequency, duty);
        };
        return pages;
    }

    QTabWidget* tabs(hv::setupDialog& dialog) { return dialog.findChild<QTabWidget*>("tabWidget"); }

    hvtest::ScriptedPrompts prompts;
    QPointer<hvtest::FakeTabPage> first = new hvtest::FakeTabPage;
    QPointer<hvtest::FakeTabPage> second;
    std::vector<LedCall> ledCalls;
    CamContextHead heads[2] = {};
    QList<CamContext*> handles = {reinterpret_cast<CamContext*>(&heads[0]),
                                  reinterpret_cast<CamContext*>(&heads[1])};
};

TEST_F(SetupDialogTest, HasTheSixTabsInOrder) {
    hv::setupDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Setup");
    QTabWidget* tabWidget = tabs(dialog);
    ASSERT_EQ(tabWidget->count(), 6);
    const QStringList names = {"tabI2C", "tabAecAgc", "tabFPGA", "tabAWB", "tabLED", "tabBoadInfo"};
    const QStringList texts = {"I2C", "AEC+AGC", "FPGA/MCU", "AWB", "LED", "Board info."};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tabWidget->widget(i)->objectName(), names[i]);
        EXPECT_EQ(tabWidget->tabText(i), texts[i]);
    }
}

TEST_F(SetupDialogTest, WarnsOfEachMissingPageInTabOrderButNotOfBoardInfo) {
    hv::SingleInstances::refuse<hv::I2CTabPage>();
    hv::SingleInstances::refuse<hv::AecAgcTabPage>();
    hv::SingleInstances::refuse<hv::FPGATabPage>();
    hv::SingleInstances::refuse<hv::AWBTabPage>();
    hv::SingleInstances::refuse<hv::ledTabPage>();
    hv::SingleInstances::refuse<hv::BoardInfoTabPage>();
    hv::setupDialog dialog;
    dialog.initialise(nullptr, 0, {}, {});
    EXPECT_EQ(prompts.messageTexts(), QStringList({"WARNING::Fail to get I2C Tab Page!!!",
                                                   "WARNING::Fail to get AEC+AGC Tab Page!!!",
                                                   "WARNING::Fail to get FPGA Tab Page!!!",
                                                   "WARNING::Fail to get AWB Tab Page!!!",
                                                   "WARNING::Fail to get LED Tab Page!!!"}));
    EXPECT_EQ(prompts.messageTitles(), QStringList(5, "Setup Dialog"));
}

TEST_F(SetupDialogTest, HostsEveryPageInItsTabWithoutAWarning) {
    hv::setupDialog dialog;
    dialog.initialise(nullptr, 0, {}, {});
    EXPECT_TRUE(prompts.messageTexts().isEmpty())
        << prompts.messageTexts().join('\n').toStdString();
    const std::vector<std::pair<QWidget*, const char*>> pages = {
        {hv::I2CTabPage::instance(), "tabI2C"},
        {hv::AecAgcTabPage::instance(), "tabAecAgc"},
        {hv::FPGATabPage::instance(), "tabFPGA"},
        {hv::AWBTabPage::instance(), "tabAWB"},
        {hv::ledTabPage::instance(), "tabLED"},
        {hv::BoardInfoTabPage::instance(), "tabBoadInfo"}};
    for (const auto& [page, tab] : pages) {
        ASSERT_NE(page, nullptr) << tab;
        EXPECT_EQ(page->parentWidget(), dialog.findChild<QWidget*>(tab)) << tab;
    }
}

TEST_F(SetupDialogTest, APageInitialisedBeforeWithoutATabGoesIntoItsTab) {
    // The main window initialises the LED page at start-up for the illumination, before any
    // setup dialog exists.
    ASSERT_NE(hv::ledTabPage::instance(), nullptr);
    hv::ledTabPage::instance()->initialise(nullptr, 0, {}, {});
    hv::setupDialog dialog;
    dialog.initialise(nullptr, 0, {}, {});
    EXPECT_EQ(hv::ledTabPage::instance()->parentWidget(), dialog.findChild<QWidget*>("tabLED"));
}

TEST_F(SetupDialogTest, WithoutDevicesPagesStayEmptyAndTheLedRefreshGetsDeviceMinusOne) {
    hv::setupDialog dialog(testPages());
    dialog.initialise(nullptr, 0, {}, {});
    EXPECT_EQ(prompts.messageTexts(), QStringList({"two missing"}));
    EXPECT_EQ(first->combo()->count(), 0);
    EXPECT_TRUE(first->reads.empty());
    EXPECT_EQ(first->parentWidget(), dialog.findChild<QWidget*>("tabOne"));
    EXPECT_EQ(ledCalls, std::vector<LedCall>({{-1, 0, 2, 2, 190.0, 0}}));
}

TEST_F(SetupDialogTest, WithTwoDevicesEveryPageListsBothAndReadsTheFirst) {
    second = new hvtest::FakeTabPage;
    hv::setupDialog dialog(testPages());
    dialog.initialise(nullptr, 2, {"RT4207 #0", "RT4207 #1"}, handles);
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    for (hvtest::FakeTabPage* page : {first.data(), second.data()}) {
        ASSERT_EQ(page->combo()->count(), 2);
        EXPECT_EQ(page->combo()->itemText(0), "RT4207 #0");
        EXPECT_EQ(page->combo()->itemText(1), "RT4207 #1");
        EXPECT_EQ(page->combo()->currentIndex(), 0);
        EXPECT_EQ(page->reads, (std::vector<std::pair<int, CamContext*>>{{0, handles[0]}}));
    }
    EXPECT_EQ(ledCalls, std::vector<LedCall>({{0, 0, 2, 2, 190.0, 0}}));
}

TEST_F(SetupDialogTest, InitialiseSelectsTheFirstTabAndOpensBelowTheMainWindow) {
    QWidget mainWindow;
    mainWindow.move(120, 80);
    hv::setupDialog dialog(testPages());
    tabs(dialog)->setCurrentIndex(1);
    dialog.initialise(&mainWindow, 0, {}, {});
    EXPECT_EQ(tabs(dialog)->currentIndex(), 0);
    EXPECT_EQ(dialog.pos(), QPoint(120, 360));
}

TEST_F(SetupDialogTest, PagesOutliveTheDialog) {
    {
        hv::setupDialog dialog(testPages());
        dialog.initialise(nullptr, 0, {}, {});
    }
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->parentWidget(), nullptr);
    delete first;
}

}  // namespace
