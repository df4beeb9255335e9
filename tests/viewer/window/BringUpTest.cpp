// Bring-up of the main window through its gates on simulated boards: what is asked, what each
// answer leads to, and which controls the operator then gets.
#include <QLabel>
#include <QPushButton>

#include <kxCxApi.h>
#include "CameraLibraryGate.h"
#include "FirmwareLoadLock.h"
#include "MainWindowFixture.h"

namespace {

using hvtest::MainWindowFixture;

const QString kTitle = QStringLiteral(" Nelvora Orlo - V1.02");

class BringUpTest : public MainWindowFixture {
protected:
    bool enabled(const char* name) const {
        auto* widget = window->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget != nullptr && widget->isEnabled();
    }
    // Photo, record, review and the two illumination buttons.
    QString deviceControls() const {
        QString states;
        for (const char* name : {"photoButton", "videoButton", "menuButton",
                                 "illuminationSpinUpButton", "illuminationSpinDownButton"}) {
            states += enabled(name) ? QLatin1Char('E') : QLatin1Char('-');
        }
        return states;
    }
    QString label(const char* name) const {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
};

TEST(CameraLibraryGateTest, AcceptsOnlyTwoOneZeroFromBuildSixOn) {
    EXPECT_FALSE(hv::CameraLibraryGate::accepts(2, 1, 0, 5));
    EXPECT_TRUE(hv::CameraLibraryGate::accepts(2, 1, 0, 6));
    EXPECT_TRUE(hv::CameraLibraryGate::accepts(2, 1, 0, 99));
    EXPECT_FALSE(hv::CameraLibraryGate::accepts(2, 2, 0, 0));
    EXPECT_FALSE(hv::CameraLibraryGate::accepts(2, 1, 1, 6));
    EXPECT_FALSE(hv::CameraLibraryGate::accepts(3, 1, 0, 6));
}

TEST_F(BringUpTest, OneSoundBoardStreamsWithEveryControlAndNoQuestion) {
    hv::Nelvora& w = bringUp("RT4207");
    EXPECT_TRUE(prompts.records().empty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_TRUE(w.isEnabled());
    EXPECT_TRUE(w.bringUpComplete());
    EXPECT_TRUE(w.streaming());
    EXPECT_EQ(w.deviceCount(), 1);
    EXPECT_EQ(w.frameByteCount(), 480000);
    EXPECT_EQ(deviceControls(), "EEEEE");
    EXPECT_EQ(label("illuminationLevelLabel"), "0%");
    EXPECT_EQ(label("recordTimeLabel"), "00:00:00");
    EXPECT_EQ(label("photoNumberLabel"), "0");
    ASSERT_NE(w.canvas(), nullptr);
    EXPECT_TRUE(waitFor([&] { return w.frameCounter() > 0; }));
}

TEST_F(BringUpTest, WithoutABoardYesRunsWithoutDeviceAndNoEnds) {
    prompts.answer(QMessageBox::Yes);
    hv::Nelvora& w = bringUp("none");
    ASSERT_EQ(prompts.messageTexts(),
              QStringList({"ERROR::Fail to find Velquin's camera devices.\nContinue(Y/N)>?"}));
    EXPECT_EQ(prompts.records()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(prompts.records()[0].defaultButton, QMessageBox::No);
    EXPECT_EQ(prompts.messageTitles(), QStringList({kTitle}));
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(w.streaming());
    EXPECT_EQ(w.selectedDevice(), -1);
    EXPECT_EQ(deviceControls(), "-----");
    EXPECT_EQ(w.canvas(), nullptr);
    // The clock runs in the degraded window.
    EXPECT_TRUE(waitFor([&] { return !label("timeLabel").isEmpty(); }));

    window.reset();
    prompts.answer(QMessageBox::No);
    window = std::make_unique<hv::Nelvora>();
    EXPECT_FALSE(window->isEnabled());
}

TEST_F(BringUpTest, TwoBoardsAreNotOpenedWhenTheUserGoesOn) {
    prompts.answer(QMessageBox::Yes);
    hv::Nelvora& w = bringUp("RT4207*2");
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList({"ERROR::More than 1 Velquin's camera devices are found.\nContinue(Y/N)>?"}));
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(w.deviceCount(), 2);
    EXPECT_TRUE(w.openDevices().isEmpty());
    EXPECT_FALSE(w.streaming());
    EXPECT_EQ(deviceControls(), "-----");
}

TEST_F(BringUpTest, AnOldFpgaIsLoadedWithProgressAndTheBoardThenStreams) {
    prompts.answer(QMessageBox::Yes);
    hv::Nelvora& w = bringUp("RT4207,fpga=1.20");
    ASSERT_GE(prompts.records().size(), 3u);
    EXPECT_EQ(prompts.records()[0].text,
              "This application program require FPGA firmware 1.30 or above...\nExisting "
              "firmware version is V1.20...\nDo you want to load the default FPGA firmware?");
    EXPECT_EQ(prompts.records()[0].icon, QMessageBox::Question);
    const hvtest::PromptRecord& progress = prompts.records()[1];
    EXPECT_EQ(progress.kind, hvtest::PromptRecord::Progress);
    EXPECT_EQ(progress.text, "Loading FPGA Configuration...");
    EXPECT_EQ(progress.cancelText, "Cancel");
    EXPECT_EQ(progress.maximum, 220);
    ASSERT_FALSE(progress.progressValues.empty());
    EXPECT_EQ(progress.progressValues.front(), 0);
    EXPECT_EQ(progress.progressValues.back(), 220);
    EXPECT_TRUE(prompts.records()[2].text.startsWith("Loading FPGA firmware complete, total "));
    EXPECT_TRUE(w.streaming());
    EXPECT_EQ(deviceControls(), "EEEEE");
}

TEST_F(BringUpTest, AnOldFpgaDeclinedIsReportedAndBringUpGoesOn) {
    prompts.answer(QMessageBox::No);
    hv::Nelvora& w = bringUp("RT4207,fpga=1.20");
    EXPECT_EQ(prompts.messageTexts().value(1),
              "ERROR::This application program require FPGA firmware 1.30 or above.\ncurrent "
              "firmware version is 1.20.\nPlease use FPGA tool to load new FPGA firmware.");
    EXPECT_EQ(prompts.records()[1].icon, QMessageBox::Critical);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_TRUE(w.streaming());
}

TEST_F(BringUpTest, AnOldControllerLoadedEndsTheProgramWithItsBoardClosed) {
    prompts.answer(QMessageBox::Yes);
    hv::Nelvora& w = bringUp("RT4207,mcu=1.05");
    EXPECT_EQ(prompts.messageTexts().value(0),
              "This application program require MCU firmware 1.07 or above...\nExisting MCU "
              "firmware version is V1.05...\nDo you want to load the default MCU firmware?");
    EXPECT_EQ(prompts.records()[1].text, "Loading MCU firmware...");
    EXPECT_TRUE(
        prompts.messageTexts().value(1).startsWith("Loading MCU firmware complete, total "));
    EXPECT_TRUE(prompts.messageTexts().value(1).endsWith(
        " bytes were loaded...\nPlease restart the program."));
    EXPECT_TRUE(hv::FirmwareLoadLock::isSet());
    ASSERT_TRUE(w.exitStatus().has_value());
    EXPECT_EQ(*w.exitStatus(), 0);
    EXPECT_TRUE(w.openDevices().isEmpty());
    EXPECT_EQ(w.deviceCount(), 0);
    EXPECT_FALSE(w.streaming());
    // Nothing is left to close when the window goes.
    const std::size_t shown = prompts.records().size();
    window.reset();
    EXPECT_EQ(prompts.records().size(), shown);
}

TEST_F(BringUpTest, AnOldControllerDeclinedRunsWithoutGammaTables) {
    prompts.answer(QMessageBox::No);
    hv::Nelvora& w = bringUp("RT4207,mcu=1.05");
    EXPECT_EQ(prompts.messageTexts().mid(1),
              QStringList({"ERROR::This application program requires MCU firmware 1.07 or "
                           "above.\ncurrent firmware version is V1.05.\nPlease use FPGA tool to "
                           "load new MCU firmware and restart the application.",
                           "MCU firmware version is below 1.07. Gamma table cannot be loaded..."}));
    EXPECT_FALSE(hv::FirmwareLoadLock::isSet());
    EXPECT_FALSE(w.exitStatus().has_value());
    EXPECT_TRUE(w.streaming());
}

TEST_F(BringUpTest, ABoardThatDoesNotOpenGoesOnWithoutAHandleUntilAStepFails) {
    // The board's first control transfers time out, so its register file does not go in and it
    // does not open. Yes goes on without a handle: every later step fails through the library's
    // null-handle result and says so, and nothing reads the missing handle.
    prompts.answer(QMessageBox::Yes);  // go on without the board
    prompts.answer(QMessageBox::No);   // no FPGA load
    prompts.answer(QMessageBox::No);   // no controller load
    hv::Nelvora& w = bringUp("MV3318,timeouts=40");
    const QStringList texts = prompts.messageTexts();
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.first(),
              "ERROR::Fail to open camera device(0) to initialize registers!!!...\nContinue(Y/N)?");
    EXPECT_EQ(prompts.records()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(texts.last(),
              "ERROR::Fail to initialize FPGA...Error Code <-2>...\nProgram will be terminated...");
    EXPECT_FALSE(w.isEnabled());
    EXPECT_FALSE(w.streaming());
    EXPECT_EQ(prompts.pendingAnswers(), 0u);
}

TEST_F(BringUpTest, ABoardThatDoesNotOpenStopsBringUpOnNo) {
    prompts.answer(QMessageBox::No);
    hv::Nelvora& w = bringUp("MV3318,timeouts=40");
    EXPECT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_FALSE(w.isEnabled());
}

TEST_F(BringUpTest, AnUnansweredLedControllerLeavesIlluminationOff) {
    hv::Nelvora& w = bringUp("RT4207,nack=62");
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"LED Controller Disabled due to LED options unavailable...\nYou may "
                           "close the program and check if each connected boards has an LED "
                           "controller...\nProgram will be terminatedOr click \"OK\" to proceed "
                           "without LED control...."}));
    EXPECT_EQ(deviceControls(), "EEE--");
    EXPECT_EQ(label("illuminationLevelLabel"), "000%");
    EXPECT_TRUE(w.streaming());
}

TEST_F(BringUpTest, GammaFailuresAskPerTableThenForTheMask) {
    // Table 0 refused at its own question, the others accepted; the summary accepted.
    prompts.answer(QMessageBox::No);
    for (int table = 1; table < 7; ++table) {
        prompts.answer(QMessageBox::Yes);
    }
    prompts.answer(QMessageBox::Yes);
    hv::Nelvora& w = bringUp("RT4207,fpgabusy=on");
    const QStringList texts = prompts.messageTexts();
    ASSERT_EQ(texts.size(), 8);
    EXPECT_TRUE(texts[0].startsWith("WARNING::Fail to load gamma table <"));
    EXPECT_TRUE(texts[0].contains("Lookup1024_0.txt>, default value is used...Error Code("));
    EXPECT_TRUE(texts[3].contains("Lookup1024_3.txt>"));
    EXPECT_TRUE(texts[6].contains("Lookup1024_0.txt>"));
    EXPECT_EQ(texts[7],
              "WARNING::Fail to initialize Gamma table...Error Code <1>..., continue(Y/N)?");
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(w.bringUpComplete());
    EXPECT_FALSE(w.streaming());
    EXPECT_EQ(deviceControls(), "-----");
}

TEST_F(BringUpTest, GammaFailuresRefusedAtTheSummaryStopBringUp) {
    prompts.answer(QMessageBox::No);
    prompts.answer(QMessageBox::No);
    for (int table = 2; table < 7; ++table) {
        prompts.answer(QMessageBox::Yes);
    }
    prompts.answer(QMessageBox::No);
    hv::Nelvora& w = bringUp("RT4207,fpgabusy=on");
    EXPECT_EQ(prompts.messageTexts().value(7),
              "WARNING::Fail to initialize Gamma table...Error Code <3>..., continue(Y/N)?");
    EXPECT_FALSE(w.isEnabled());
    EXPECT_FALSE(w.streaming());
}

TEST_F(BringUpTest, GammaFailuresAllAcceptedChangeNothing) {
    for (int table = 0; table < 7; ++table) {
        prompts.answer(QMessageBox::Yes);
    }
    hv::Nelvora& w = bringUp("RT4207,fpgabusy=on");
    EXPECT_EQ(prompts.messageTexts().size(), 7);
    EXPECT_TRUE(w.bringUpComplete());
    EXPECT_TRUE(w.streaming());
}

TEST_F(BringUpTest, ReleaseStopsTheStreamAndUnloadsTheLibrary) {
    hv::Nelvora& w = bringUp("RT4207");
    ASSERT_TRUE(w.streaming());
    w.ReleaseDevices();
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_FALSE(w.streaming());
    EXPECT_EQ(w.canvas(), nullptr);
    EXPECT_EQ(w.deviceCount(), 0);
    EXPECT_TRUE(w.openDevices().isEmpty());
    // A second release has no board to release.
    w.ReleaseDevices();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"WARNING::There are no Cx devices has been inserted...\nThis unplug "
                           "event will be ignored..."}));
}

TEST_F(BringUpTest, ASecondBringUpStopsTheRunningStreamFirst) {
    hv::Nelvora& w = bringUp("RT4207");
    ASSERT_TRUE(w.streaming());
    EXPECT_EQ(w.BringUpDevices(), 0);
    EXPECT_TRUE(w.streaming());
    EXPECT_EQ(w.openDevices().size(), 1);
    const int before = w.frameCounter();
    EXPECT_TRUE(waitFor([&] { return w.frameCounter() > before; }));
}

}  // namespace
