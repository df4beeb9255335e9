// The FPGA page over simulated boards: its set-up, the image functions it switches, the
// dampening coefficient, register access, and the commands that need no firmware file.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <vector>

#include "DampeningCoefficient.h"
#include "FpgaBoards.h"
#include "picture/TestPatterns.h"
#include "setupDialog.h"

using hvtest::FpgaBoards;

namespace {

class FPGAPage : public testing::Test {
protected:
    template <class Widget>
    static Widget& widget(hv::FPGATabPage& page, const char* name) {
        auto* found = page.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    static QComboBox& combo(hv::FPGATabPage& page, const char* name) {
        return widget<QComboBox>(page, name);
    }
    static QLineEdit& field(hv::FPGATabPage& page, const char* name) {
        return widget<QLineEdit>(page, name);
    }
    // The operator picks an item of a combo.
    static void pick(hv::FPGATabPage& page, const char* name, int index) {
        emit combo(page, name).activated(index);
    }
    static QStringList items(QComboBox& box) {
        QStringList texts;
        for (int i = 0; i < box.count(); ++i) {
            texts << box.itemText(i);
        }
        return texts;
    }
    // Registers of the board the page works on.
    int fpga(int reg) const { return FpgaBoards::read(boards.handle(), 0x3C, reg); }
    void setFpga(int reg, int value) { FpgaBoards::write(boards.handle(), 0x3C, reg, value); }
    int sensor(int reg) const { return FpgaBoards::read(boards.handle(), 0x35, reg, true); }
    int sensorColourBars() const { return sensor(0x4001); }

    FpgaBoards boards;
};

enum Enable { kHdmi, kMotion, kDampening, kMedian, kBars420, kBarsFpga, kPatterns, kGamma };

// --- set-up and form ---------------------------------------------------------------------------

TEST_F(FPGAPage, InitialisationShowsTheVersionsAndLeavesGammaTableZeroOnAndMotionCompensationOff) {
    CamContext* board = boards.open(FpgaBoards::Fpga123);
    FpgaBoards::write(board, 0x3C, 0x27, 1);
    FpgaBoards::write(board, 0x3C, 0x2B, 0);
    FpgaBoards::write(board, 0x3C, 0x2C, 5);
    hv::FPGATabPage& page = boards.page(FpgaBoards::Fpga123, board);
    EXPECT_EQ(field(page, "fpgaVersionEdit").text(), "  V1.23");
    EXPECT_EQ(field(page, "mcuVersionEdit").text(), "V107");
    EXPECT_EQ(field(page, "fpgaRegAddrEdit").text(), "0000");
    EXPECT_EQ(field(page, "fpgaRegDataEdit").text(), "0000");
    EXPECT_EQ(combo(page, "cmdSel").currentIndex(), 0);
    EXPECT_EQ(combo(page, "gammaTableSel").currentIndex(), 0);
    EXPECT_TRUE(combo(page, "gammaTableSel").isEnabled());
    EXPECT_EQ(fpga(0x2B), 1);
    EXPECT_EQ(fpga(0x2C), 0);
    EXPECT_EQ(fpga(0x27), 0);
    EXPECT_TRUE(page.gammaOn());
    EXPECT_FALSE(page.motionCompensationOn());
    EXPECT_TRUE(boards.prompts.records().empty());
}

TEST_F(FPGAPage, WithoutADeviceTheFieldsStayEmptyAndNothingRuns) {
    hv::FPGATabPage* page = hv::FPGATabPage::instance();
    page->initialise(nullptr, 0, {}, {});
    EXPECT_EQ(page->deviceIndex(), -1);
    EXPECT_EQ(combo(*page, "cbDevNoSel").count(), 0);
    EXPECT_TRUE(field(*page, "fpgaVersionEdit").text().isEmpty());
    for (int command = 0; command < 12; ++command) {
        pick(*page, "cmdSel", command);
    }
    for (int item = 0; item < 8; ++item) {
        pick(*page, "enableSel", item);
        pick(*page, "disableSel", item);
    }
    widget<QPushButton>(*page, "getFPGARegDataButton").click();
    widget<QPushButton>(*page, "setFPGARegDataButton").click();
    EXPECT_TRUE(boards.prompts.records().empty());
}

TEST_F(FPGAPage, TheFormOffersTheCommandsFunctionsAndTablesInOrder) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    EXPECT_EQ(
        items(combo(page, "cmdSel")),
        QStringList({"  Initialize Registers", "  Initialize FPGA", "  Load FPGA FW",
                     "  Load FPGA FW to Flash", "  Erase FPGA FW from Flash", "  Load MCU FW",
                     "  Load MCU FW to EEPROM", "  FPGA Memory Test", "  Update Registers Value",
                     "  Reset FIFO Buffer", "  Upload Gamma Table", "  Download Gamma Table"}));
    const QStringList functions = {"  HDMI",          "  Motion Comp.",    "  Dampening Coeff.",
                                   "  Median Filter", "  Colorbars (420)", "  Colorbars (FPGA)",
                                   "  Patterns ",     "  Gamma Table"};
    EXPECT_EQ(items(combo(page, "enableSel")), functions);
    QStringList disable = functions;
    disable[6] = "  Patterns";
    EXPECT_EQ(items(combo(page, "disableSel")), disable);
    EXPECT_EQ(items(combo(page, "gammaTableSel")),
              QStringList({"  No Slope (0)", "  Easy Slope (1)", "  Medium Slope (2)",
                           "  Steeper Slope (3)", "  Red (4)", "  Green (5)", "  Blue (6)"}));
    EXPECT_EQ(field(page, "fpgaRegAddrEdit").toolTip(), "Register Address");
    EXPECT_EQ(field(page, "fpgaRegDataEdit").toolTip(), "Register Data");
    EXPECT_EQ(widget<QPushButton>(page, "getFPGARegDataButton").text(), "Read Register");
    EXPECT_EQ(widget<QPushButton>(page, "setFPGARegDataButton").toolTip(), "Set I2C Register Data");
}

TEST_F(FPGAPage, TheSetupDialogHostsThePageInTheFpgaTab) {
    hv::setupDialog dialog;
    dialog.initialise(nullptr, 0, {}, {});
    EXPECT_FALSE(boards.prompts.messageTexts().contains("WARNING::Fail to get FPGA Tab Page!!!"));
    ASSERT_NE(hv::FPGATabPage::instance(), nullptr);
    EXPECT_EQ(hv::FPGATabPage::instance()->parentWidget(), dialog.findChild<QWidget*>("tabFPGA"));
}

// --- image functions ---------------------------------------------------------------------------

TEST_F(FPGAPage, HdmiMotionCompensationAndMedianFilterAreSwitchedOnAndOff) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "enableSel", kHdmi);
    pick(page, "enableSel", kMotion);
    pick(page, "enableSel", kMedian);
    EXPECT_EQ(fpga(0x7A), 1);
    EXPECT_EQ(fpga(0x27), 1);
    EXPECT_EQ(fpga(0x20), 1);
    EXPECT_TRUE(page.motionCompensationOn());
    pick(page, "disableSel", kHdmi);
    pick(page, "disableSel", kMotion);
    pick(page, "disableSel", kMedian);
    EXPECT_EQ(fpga(0x7A), 0);
    EXPECT_EQ(fpga(0x27), 0);
    EXPECT_EQ(fpga(0x20), 0);
    EXPECT_FALSE(page.motionCompensationOn());
}

TEST_F(FPGAPage, DampeningFactorsBecomeRegisterValues) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "enableSel", kMotion);
    const std::vector<std::pair<QString, int>> cases = {
        {"0.99", 128}, {"0.5", 66}, {"0", 2}, {" .25 ", 34}, {"0.74", 96}};
    for (const auto& [text, value] : cases) {
        boards.prompts.answerText(text);
        pick(page, "enableSel", kDampening);
        EXPECT_EQ(fpga(0x21), value) << text.toStdString();
    }
    EXPECT_TRUE(boards.prompts.messageTexts().isEmpty());
    ASSERT_FALSE(boards.prompts.records().empty());
    EXPECT_EQ(boards.prompts.records().front().text, "Dampening Factor <0.0-0.99>:");
}

TEST_F(FPGAPage, FactorsOutsideTheRangeAreRefusedAndWriteNothing) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    setFpga(0x21, 0x40);
    pick(page, "enableSel", kMotion);
    for (const char* text : {"1.0", "-0.1", "0.991", "abc", ""}) {
        boards.prompts.answerText(QString::fromLatin1(text));
        pick(page, "enableSel", kDampening);
    }
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({"Illegal Dampening Coefficient Value...1.0...",
                           "Illegal Dampening Coefficient Value...-0.1...",
                           "Illegal Dampening Coefficient Value...0.991...",
                           "Illegal Dampening Coefficient Value...abc...",
                           "Illegal Dampening Coefficient Value......"}));
    EXPECT_EQ(fpga(0x21), 0x40);
}

TEST_F(FPGAPage, CancelInTheTextBoxWritesNothing) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    setFpga(0x21, 0x40);
    pick(page, "enableSel", kMotion);
    boards.prompts.answerText(std::nullopt);
    pick(page, "enableSel", kDampening);
    EXPECT_EQ(fpga(0x21), 0x40);
    EXPECT_TRUE(boards.prompts.messageTexts().isEmpty());
}

TEST_F(FPGAPage, TheDampeningCoefficientNeedsMotionCompensation) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "enableSel", kDampening);
    pick(page, "disableSel", kDampening);
    const QString warning = "Motion compensation is off...damping factor is not applicable...";
    EXPECT_EQ(boards.prompts.messageTexts(), QStringList({warning, warning}));
    EXPECT_EQ(boards.prompts.messageTitles(), QStringList(2, "FPGA Utility Tools"));
    // No text box was shown.
    EXPECT_EQ(boards.prompts.records().size(), 2u);
}

TEST_F(FPGAPage, DisablingTheDampeningCoefficientShowsTheValueReadBack) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "enableSel", kMotion);
    setFpga(0x21, 66);
    pick(page, "disableSel", kDampening);
    EXPECT_EQ(boards.prompts.messageTexts(), QStringList({"Dampening Coefficient is 0.53 [66]"}));
    EXPECT_EQ(fpga(0x21), 66);
}

TEST_F(FPGAPage, SensorColourBarsThenFpgaColourBarsLeaveOnlyTheFpgaBars) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "enableSel", kBars420);
    EXPECT_EQ(fpga(0x1A), 0);
    EXPECT_EQ(sensorColourBars(), 1);
    pick(page, "enableSel", kBarsFpga);
    EXPECT_EQ(fpga(0x1A), 1);
    EXPECT_EQ(sensorColourBars(), 0);
    pick(page, "enableSel", kPatterns);
    EXPECT_EQ(fpga(0x1A), 3);
    pick(page, "disableSel", kPatterns);
    EXPECT_EQ(fpga(0x1A), 0);
    pick(page, "enableSel", kBars420);
    pick(page, "disableSel", kBars420);
    EXPECT_EQ(sensorColourBars(), 0);
}

TEST_F(FPGAPage, GammaTablesAreChosenAndTheStageSwitched) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "gammaTableSel", 6);
    EXPECT_EQ(fpga(0x2B), 1);
    EXPECT_EQ(fpga(0x2C), 6);
    EXPECT_EQ(page.gammaTable(), 6);
    pick(page, "disableSel", kGamma);
    EXPECT_EQ(fpga(0x2B), 0);
    EXPECT_FALSE(combo(page, "gammaTableSel").isEnabled());
    EXPECT_FALSE(page.gammaOn());
    setFpga(0x2C, 0);
    pick(page, "enableSel", kGamma);
    EXPECT_EQ(fpga(0x2B), 1);
    EXPECT_EQ(fpga(0x2C), 6);
    EXPECT_TRUE(combo(page, "gammaTableSel").isEnabled());
}

// The frame the board sends next (after one that may have been rendered ahead).
std::vector<uint8_t> nextFrame(CamContext* handle) {
    std::vector<uint8_t> frame(480256);
    EXPECT_GE(acquireOneFrame(handle, frame.data()), 480000);
    EXPECT_GE(acquireOneFrame(handle, frame.data()), 480000);
    frame.resize(480000);
    return frame;
}

TEST_F(FPGAPage, ColourBarsAndPatternsAppearInThePicture) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Picture);
    pick(page, "disableSel", kGamma);
    std::vector<uint8_t> bars(480000);
    boardsim::TestPatterns::fpgaColourBars(bars.data(), 400, 400);
    std::vector<uint8_t> grid(480000);
    boardsim::TestPatterns::fpgaTestPattern(grid.data(), 400, 400);

    pick(page, "enableSel", kBarsFpga);
    EXPECT_EQ(nextFrame(boards.handle()), bars);
    pick(page, "enableSel", kPatterns);
    EXPECT_EQ(nextFrame(boards.handle()), grid);
    // The sensor's bars: every row the same, eight colours across.
    pick(page, "enableSel", kBars420);
    const std::vector<uint8_t> sensor = nextFrame(boards.handle());
    for (int y = 1; y < 400; ++y) {
        ASSERT_EQ(std::memcmp(sensor.data(), sensor.data() + y * 1200, 1200), 0) << y;
    }
    EXPECT_NE(std::memcmp(sensor.data(), sensor.data() + 3 * 1197, 3), 0);
    pick(page, "disableSel", kBars420);
    const std::vector<uint8_t> scene = nextFrame(boards.handle());
    EXPECT_NE(scene, bars);
    EXPECT_NE(std::memcmp(scene.data(), scene.data() + 1200, 1200), 0);
}

TEST(FPGADampening, FactorsOnARegisterStepLandOnIt) {
    // 0.99 - c is a whole number of 1/128 steps for these; binary arithmetic would fall short.
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("0.74"), 96);
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("0.0525"), 8);
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("0.990"), 128);
    // Digits beyond those kept still count.
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("0.7400000000000000000001"), 97);
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("0.98999999999999999999"), 128);
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("-0"), 2);
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("0.99000000000000000001"), std::nullopt);
    EXPECT_EQ(hv::DampeningCoefficient::registerValue("1e-1"), std::nullopt);
    EXPECT_EQ(hv::DampeningCoefficient::describe(128), "Dampening Coefficient is 1.01 [128]");
    EXPECT_EQ(hv::DampeningCoefficient::describe(2), "Dampening Coefficient is 0.03 [2]");
}

// --- register access and simple commands -------------------------------------------------------

TEST_F(FPGAPage, ReadRegisterShowsTheLowByteInHexadecimal) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    setFpga(0x3F, 0xA5);
    field(page, "fpgaRegAddrEdit").setText("3f");
    widget<QPushButton>(page, "getFPGARegDataButton").click();
    EXPECT_EQ(field(page, "fpgaRegDataEdit").text(), "  a5");
    EXPECT_EQ(page.registerData(), 0xA5);
    EXPECT_EQ(page.registerAddress(), 0x3F);
}

TEST_F(FPGAPage, WriteRegisterSendsTheRecordedDataToTheRecordedAddress) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    setFpga(0x20, 0);
    field(page, "fpgaRegAddrEdit").setText("20");
    field(page, "fpgaRegDataEdit").setText("1");
    // Text that is no hexadecimal number leaves what was recorded.
    field(page, "fpgaRegDataEdit").setText("xyz");
    widget<QPushButton>(page, "setFPGARegDataButton").click();
    EXPECT_EQ(fpga(0x20), 1);
    EXPECT_EQ(page.registerData(), 1);
}

TEST_F(FPGAPage, UpdateRegistersValueShowsTheVersionInHexadecimal) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Fpga200);
    field(page, "fpgaVersionEdit").clear();
    pick(page, "cmdSel", 8);
    EXPECT_EQ(field(page, "fpgaVersionEdit").text(), "  V2.0");
    EXPECT_TRUE(boards.prompts.records().empty());
}

TEST_F(FPGAPage, InitializeFpgaAndResetFifoReportTheirResults) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "cmdSel", 1);
    pick(page, "cmdSel", 9);
    // A board whose FPGA never reports ready.
    hv::FPGATabPage& notReady = boards.page(FpgaBoards::NotReady);
    pick(notReady, "cmdSel", 1);
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({"FPGA initialization successful.", "Reset USB FIFO successfully.",
                           "ERROR:: Fail to Initialize FPGA due to error code -22..."}));
    EXPECT_EQ(boards.prompts.messageTitles(), QStringList(3, "FPGA Utility Tools"));
}

TEST_F(FPGAPage, InitializeRegistersSendsTheChosenFileWithProgress) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    FpgaBoards::write(boards.handle(), 0x35, 0x4001, 0, true);
    boards.writeFile("bars.txt", ";(a) sensor controller system reset\n6A 4001 01\n");
    boards.prompts.answerPath(boards.path("bars.txt"));
    pick(page, "cmdSel", 0);
    EXPECT_EQ(sensorColourBars(), 1);
    const auto& records = boards.prompts.records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].text, "Open File");
    EXPECT_EQ(records[0].filter, "Registers file (*.txt)");
    EXPECT_EQ(records[1].kind, hvtest::PromptRecord::Progress);
    EXPECT_EQ(records[1].maximum, 220);
    EXPECT_EQ(records[1].progressValues.back(), 220);
    EXPECT_EQ(records[2].text,
              QString("Loading Registers File %1 ... Done ...").arg(boards.path("bars.txt")));
    // No file chosen: nothing more.
    boards.prompts.answerPath(QString());
    pick(page, "cmdSel", 0);
    EXPECT_EQ(records.size(), 4u);
}

// --- memory test -------------------------------------------------------------------------------

TEST_F(FPGAPage, TheMemoryTestPassesOnASoundBoard) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "cmdSel", 7);
    const auto& records = boards.prompts.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, "FPGA Memory Test...");
    EXPECT_EQ(records[0].cancelText, "Cancel");
    EXPECT_EQ(records[0].maximum, 100);
    EXPECT_EQ(records[0].progressValues.front(), 0);
    EXPECT_EQ(records[0].progressValues.back(), 100);
    EXPECT_EQ(records[1].text, "Memory Test ... Passed...");
    EXPECT_EQ(records[1].title, "FPGA Utility Tools");
    // The tester is left stopped, after the last pattern.
    EXPECT_EQ(fpga(0x15), 0);
    EXPECT_EQ(fpga(0x3F), 0x80);
}

TEST_F(FPGAPage, TheMemoryTestFailsOnAStuckDataLine) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::BadMemory);
    pick(page, "cmdSel", 7);
    EXPECT_EQ(boards.prompts.messageTexts(), QStringList({"Memory Test ... Failed..."}));
    // It stopped at the first pattern that sets the stuck line: all ones.
    EXPECT_EQ(fpga(0x3F), 0xFF);
    EXPECT_EQ(fpga(0x15), 0);
}

TEST_F(FPGAPage, CancelEndsTheMemoryTest) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    boards.prompts.cancelProgressAt(40);
    pick(page, "cmdSel", 7);
    EXPECT_EQ(boards.prompts.messageTexts(), QStringList({"Memory Test ... Aborted..."}));
    EXPECT_LT(boards.prompts.records().front().progressValues.back(), 100);
    EXPECT_EQ(fpga(0x15), 0);
}

// --- flash and firmware ------------------------------------------------------------------------

std::atomic<int> g_frames{0};

void countFrame(const void*, int, CamContext*) {
    ++g_frames;
}

class FPGAFirmware : public FPGAPage {
protected:
    // The board streams to the counting callback.
    void startStream() { ASSERT_EQ(acquireImageStream(boards.handle(), &countFrame, 0xFF), 0); }
    // The counting callback streams again, and frames arrive.
    bool streamsAgain() {
        int status = 0;
        if (getAcqCallbackProc(boards.handle(), &status) != &countFrame) {
            return false;
        }
        const int before = g_frames;
        return FpgaBoards::waitFor([before] { return g_frames > before + 2; });
    }
    QString question(const QString& first) const {
        return first + "\nAre you sure you want to load the firmware?";
    }
    static QString refusal(const char* version) {
        return QString(
                   "The FPGA firmware V%1 cannot load or erase the SPI flash...\nFlash "
                   "commands need FPGA firmware V1.24 or later.")
            .arg(version);
    }
    const hvtest::PromptRecord& lastRecord() const { return boards.prompts.records().back(); }
    // The progress dialog opened last.
    const hvtest::PromptRecord* progress() const {
        const auto& records = boards.prompts.records();
        for (auto it = records.rbegin(); it != records.rend(); ++it) {
            if (it->kind == hvtest::PromptRecord::Progress) {
                return &*it;
            }
        }
        return nullptr;
    }
};

TEST_F(FPGAFirmware, ALoadToAFlashNotErasedIsRefusedBeforeAnyFileIsAskedFor) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    pick(page, "cmdSel", 3);
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({"Warning::The flash memeory has not been erased...\n        Please "
                           "erase the flash before loading the firmware to the flash..."}));
    EXPECT_EQ(boards.prompts.records().size(), 1u);
    EXPECT_TRUE(boards.logHolds("Loading Firmware to SPI Flash...[NO]"));
}

TEST_F(FPGAFirmware, AnEraseLetsTheFlashBeLoadedAndTheStreamGoesOnAfterEach) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    startStream();
    pick(page, "cmdSel", 4);
    ASSERT_NE(progress(), nullptr);
    EXPECT_EQ(progress()->text, "Existing firmware version is V1.30...");
    EXPECT_EQ(progress()->cancelText, "Cancel");
    EXPECT_EQ(progress()->maximum, 120);
    EXPECT_EQ(progress()->progressValues.back(), 120);
    ASSERT_EQ(boards.prompts.messageTexts().size(), 1);
    EXPECT_TRUE(boards.prompts.messageTexts()[0].startsWith(
        "FPGA firmware is erased from the flash, Status["));
    EXPECT_TRUE(cxContextHead(boards.handle())->flashErased);
    EXPECT_TRUE(streamsAgain());

    const QString image = boards.path("firmware/default.mcs");
    boards.prompts.answerPath(image);
    boards.prompts.answer(QMessageBox::Yes);
    pick(page, "cmdSel", 3);
    EXPECT_TRUE(boards.logHolds("Loading Firmware to SPI Flash...[YES]"));
    const auto& records = boards.prompts.records();
    const auto open = std::find_if(records.begin(), records.end(), [](const auto& record) {
        return record.kind == hvtest::PromptRecord::OpenFile;
    });
    ASSERT_NE(open, records.end());
    EXPECT_EQ(open->filter, "FPGA Configuration (*.mcs)");
    EXPECT_EQ(open->folder, boards.path("Drivers/firmware"));
    const QStringList texts = boards.prompts.messageTexts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[1], question(QString("Existing firmware version is V1.30...uploading FPGA "
                                         "configuration from <%1>...\n")
                                     .arg(image)));
    EXPECT_EQ(boards.prompts.messageTitles()[1], "Imaging Hardware Utility Tools");
    EXPECT_EQ(progress()->text, "Loading FPGA firmware to flash");
    EXPECT_TRUE(texts[2].startsWith("Total ")) << texts[2].toStdString();
    EXPECT_TRUE(texts[2].endsWith(" bytes were uploaded to the flash..."));
    EXPECT_TRUE(streamsAgain());
}

TEST_F(FPGAFirmware, AFailedEraseRestartsTheBoardAndReportsNoErase) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::UnknownFlash);
    startStream();
    pick(page, "cmdSel", 4);
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({"ERROR::Failed to erase FPGA firmware from falsh because the flash "
                           "device is unrecognized device..."}));
    EXPECT_FALSE(cxContextHead(boards.handle())->flashErased);
    // The FPGA ran its start-up, the register file started the pixel clock again, and the
    // stream runs with its callback.
    EXPECT_EQ(fpga(0x41), 1);
    EXPECT_EQ(sensor(0x3003) & 0x20, 0x20);
    EXPECT_TRUE(streamsAgain());
    ASSERT_NE(progress(), nullptr);
    EXPECT_EQ(progress()->progressValues.back(), 120);
}

TEST_F(FPGAFirmware, AnFpga123IsRefusedTheFlashCommandsWithTheReason) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Fpga123);
    startStream();
    pick(page, "cmdSel", 4);
    pick(page, "cmdSel", 3);
    EXPECT_EQ(boards.prompts.messageTexts(), QStringList({refusal("1.23"), refusal("1.23")}));
    EXPECT_EQ(boards.prompts.messageTitles(), QStringList(2, "FPGA Utility Tools"));
    EXPECT_EQ(progress(), nullptr);
    EXPECT_FALSE(cxContextHead(boards.handle())->flashErased);
    // The stream was never stopped.
    int value = 0;
    EXPECT_EQ(getAcqCallbackProc(boards.handle(), &value), &countFrame);
}

TEST_F(FPGAFirmware, AnFpga200MayEraseTheFlash) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Fpga200);
    pick(page, "cmdSel", 4);
    ASSERT_EQ(boards.prompts.messageTexts().size(), 1);
    EXPECT_TRUE(boards.prompts.messageTexts()[0].startsWith("FPGA firmware is erased"));
    EXPECT_EQ(progress()->text, "Existing firmware version is V2.0...");
    EXPECT_TRUE(cxContextHead(boards.handle())->flashErased);
}

TEST_F(FPGAFirmware, AnFpgaLoadReportsTheVersionTheBoardThenShows) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::JtagTarget);
    startStream();
    const auto load = [&](const char* file) {
        const QString image = boards.path(file);
        boards.prompts.answerPath(image);
        boards.prompts.answer(QMessageBox::Yes);
        pick(page, "cmdSel", 2);
        return image;
    };
    const QString older = load("firmware/fpga_1_20.bit");
    const auto size = std::filesystem::file_size(older.toStdString());
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({question(QString("Existing firmware version is V1.30...Loading FPGA "
                                            "configuration from <%1>...\n")
                                        .arg(older)),
                           QString("Loading FPGA firmware...Total %1 bytes of FPGA Configuration "
                                   "to be loaded and %1 bytes were loaded...")
                               .arg(size)}));
    EXPECT_EQ(progress()->text, "Loading FPGA Firmware");
    EXPECT_EQ(field(page, "fpgaVersionEdit").text(), "  V1.20");
    EXPECT_EQ(fpga(0x01), 0x01);
    EXPECT_EQ(fpga(0x00), 0x20);
    EXPECT_TRUE(streamsAgain());

    load("firmware/default.bit");
    EXPECT_EQ(field(page, "fpgaVersionEdit").text(), "  V1.30");
    EXPECT_EQ(fpga(0x00), 0x30);
}

TEST_F(FPGAFirmware, WithoutAFileOrAYesNothingIsLoaded) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    boards.prompts.answerPath(QString());
    pick(page, "cmdSel", 2);
    boards.prompts.answerPath(boards.path("firmware/default.bit"));
    boards.prompts.answer(QMessageBox::No);
    pick(page, "cmdSel", 2);
    EXPECT_EQ(boards.prompts.messageTexts().size(), 2);
    EXPECT_EQ(boards.prompts.messageTexts()[0], "Action cancelled or no valid file selected");
    EXPECT_EQ(boards.prompts.messageTitles()[0], "Action aborted.");
    EXPECT_EQ(progress(), nullptr);
}

TEST_F(FPGAFirmware, AControllerLoadSetsTheLockAndAsksTheProgramToEnd) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Controller);
    int version = 0;
    ASSERT_EQ(getMcuFirmwareVersion(boards.handle(), &version), 0);
    const QString before = QString::asprintf("%03x", version);
    QSignalSpy exits(&page, &hv::FPGATabPage::exitAppSignal);
    const QString program = boards.path("firmware/mcu_1_05.hex");
    boards.prompts.answerPath(program);
    boards.prompts.answer(QMessageBox::Yes);
    pick(page, "cmdSel", 5);
    EXPECT_TRUE(hv::FirmwareLoadLock::isSet());
    EXPECT_EQ(exits.count(), 1);
    const QStringList texts = boards.prompts.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], question(QString("Existing MCU firmware version is V%1...Loading MCU "
                                         "firmware from <%2>...\n")
                                     .arg(before, program)));
    EXPECT_TRUE(texts[1].startsWith("Loading MCU firmware...Total ")) << texts[1].toStdString();
    EXPECT_EQ(progress()->text, "Loading MCU Firmware");
    // The controller left the bus to start the program: the handle reaches it no more.
    EXPECT_LT(getMcuFirmwareVersion(boards.handle(), &version), 0);
}

TEST_F(FPGAFirmware, AnEepromLoadRestartsTheStreamAndAsksTheProgramToEnd) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    startStream();
    QSignalSpy exits(&page, &hv::FPGATabPage::exitAppSignal);
    const QString image = boards.path("firmware/default.iic");
    boards.prompts.answerPath(image);
    boards.prompts.answer(QMessageBox::Yes);
    pick(page, "cmdSel", 6);
    EXPECT_TRUE(hv::FirmwareLoadLock::isSet());
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({question(QString("Existing firmware version is V107...Loading MCU "
                                            "firmware from <%1>...\n")
                                        .arg(image)),
                           QString("Loading MCU Firmware %1 ... Done ...").arg(image)}));
    EXPECT_TRUE(streamsAgain());
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // The boot EEPROM (0x51, 16-bit addresses) begins with the image.
    ASSERT_GE(bytes.size(), 16);
    for (int offset = 0; offset < 16; ++offset) {
        EXPECT_EQ(FpgaBoards::read(boards.handle(), 0x51, offset, true),
                  static_cast<uint8_t>(bytes[offset]))
            << offset;
    }
}

}  // namespace
