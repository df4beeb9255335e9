// The AEC+AGC page over simulated boards: the device set-up, the mode switch and manual values,
// the metering window and weights, the spot picked on the live canvas, the target and its bands,
// refused entries and failed writes, and what the sensor's picture makes of it all.
//
// Every test describes the same two boards and one control socket for the process (KXCX_SIM and
// KXCX_SIM_SOCKET are read once per process), so the tests can share a process. Register contents
// stay from one test to the next: a test sets what it checks.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <kxCxApi.h>
#include "../canvas/CanvasMouse.h"
#include "AecAgcTabPage.h"
#include "ImageDraw.h"
#include "ScopedEnv.h"
#include "ScriptedPrompts.h"
#include "SimControl.h"
#include "SingleInstances.h"
#include "SpotSelection.h"
#include "setupDialog.h"

namespace {

const QString kTitle = QStringLiteral("Aec/Agc Tool Page");
constexpr int kSensor = 0x35;
constexpr int kFrameBytes = 480000;
// The matrix weights as the sensor holds them, register 0x4288 first.
const std::vector<int> kMatrix = {0x10, 0x01, 0x21, 0x12, 0x21, 0x12, 0x10, 0x01};

std::string socketPath() {
    static const std::string path =
        QDir::temp()
            .filePath(
                QStringLiteral("harnview-aec-%1.sock").arg(QCoreApplication::applicationPid()))
            .toStdString();
    return path;
}

QString illegalValue(const QString& text, const QString& field, int high) {
    return QStringLiteral(
               "ERROR::Illegal value \"%1\" entered for %2:\nValue out of range (0 - "
               "%3), or illegal character(s) entered. Legal characters are '0' - "
               "'9'.\n\nValue will be reset to previous value.")
        .arg(text, field, QString::number(high));
}

class AecAgcTabPage : public testing::Test {
protected:
    AecAgcTabPage() {
        EXPECT_EQ(loadCxLib(), 0);
        findCxDevices();
        std::vector<std::string> names;
        getCxDeviceNames(names);
        for (const std::string& name : names) {
            CamContext* handle = openCxDevice(name, 400, 400, kFrameBytes, nullptr, nullptr);
            EXPECT_NE(handle, nullptr) << name;
            boards << handle;
            boardNames << QString::fromStdString(name);
        }
        EXPECT_EQ(boards.size(), 2) << "the boards of this process were described elsewhere";
    }
    ~AecAgcTabPage() override {
        hv::SingleInstances::destroyAll();
        for (CamContext* handle : boards) {
            closeCxDevice(handle);
        }
        removeCxDevices();
        unloadCxLib();
    }

    // The page initialised over the first count boards.
    hv::AecAgcTabPage& page(int count = 1) {
        hv::AecAgcTabPage* page = hv::AecAgcTabPage::instance();
        page->initialise(nullptr, count, boardNames.mid(0, count), boards.mid(0, count));
        return *page;
    }
    template <class Widget>
    Widget& widget(const char* name) {
        auto* found = hv::AecAgcTabPage::instance()->findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QLineEdit& edit(const char* name) { return widget<QLineEdit>(name); }
    QComboBox& combo(const char* name) { return widget<QComboBox>(name); }
    // The operator types text into an edit and presses Return.
    void enter(const char* name, const QString& text) {
        edit(name).setText(text);
        QTest::keyClick(&edit(name), Qt::Key_Return);
    }
    // The operator picks a combo entry.
    void choose(const char* name, int index) {
        combo(name).setCurrentIndex(index);
        emit combo(name).activated(index);
    }

    int reg(int address, int board = 0) {
        int value = -1;
        EXPECT_EQ(readRegister(boards[board], kSensor, address, &value, 1), 1);
        return value;
    }
    std::vector<int> regs(int first, int count, int board = 0) {
        std::vector<int> values;
        for (int address = first; address < first + count; ++address) {
            values.push_back(reg(address, board));
        }
        return values;
    }
    void poke(int address, int value, int board = 0) {
        EXPECT_EQ(writeRegister(boards[board], kSensor, address, value, 1), 1);
    }
    // The mean byte of the frame the board sends next.
    double frameMean(int board = 0) {
        std::vector<uint8_t> frame(kFrameBytes + 512);
        EXPECT_GE(acquireOneFrame(boards[board], frame.data()), kFrameBytes);
        long long sum = 0;
        for (int i = 0; i < kFrameBytes; ++i) {
            sum += frame[static_cast<std::size_t>(i)];
        }
        return static_cast<double>(sum) / kFrameBytes;
    }
    // The mean of the last of count frames (the sensor's loop moves once a frame).
    double meanAfter(int count) {
        double mean = 0;
        for (int i = 0; i < count; ++i) {
            mean = frameMean();
        }
        return mean;
    }

    // A new target, then frames for the sensor's loop to settle: the frames' mean and the average
    // intensity the page reads back.
    std::pair<double, int> settleAt(const QString& target) {
        enter("targetEdit", target);
        const double mean = meanAfter(40);
        widget<QPushButton>("getAvgIntensityButton").click();
        return {mean, edit("avgIntensityEdit").text().toInt()};
    }

    ScopedEnv m_boards{"KXCX_SIM", "RT4207,fps=0;RT4207,fps=0"};
    ScopedEnv m_socket{"KXCX_SIM_SOCKET", socketPath().c_str()};
    hvtest::ScriptedPrompts prompts;
    QList<CamContext*> boards;
    QStringList boardNames;
};

// The sensor controller of the first board stops answering while it lives.
class SensorSilence {
public:
    SensorSilence() { EXPECT_EQ(hvtest::SimControl::send({"fault", "nack", "35", "on"}), "ok"); }
    ~SensorSilence() { hvtest::SimControl::send({"fault", "nack", "35", "off"}); }
    SensorSilence(const SensorSilence&) = delete;
    SensorSilence& operator=(const SensorSilence&) = delete;
};

TEST_F(AecAgcTabPage, TheFormListsItsEntriesWithTheirLabelsAndTips) {
    page(0);
    const auto items = [&](const char* name) {
        QStringList texts;
        for (int i = 0; i < combo(name).count(); ++i) {
            texts << combo(name).itemText(i);
        }
        return texts;
    };
    EXPECT_EQ(items("aecagcSel"), QStringList({"  AEC+AGC", "  Manual"}));
    EXPECT_EQ(items("meteringSel"), QStringList({" SPOT", " CENTER WEIGHTED", "  MATRIX"}));
    QStringList sizes;
    for (int size = 32; size <= 384; size += 32) {
        sizes << QStringLiteral("  %1 x %1").arg(size);
    }
    EXPECT_EQ(items("windowSel"), sizes << "  400 x 400");
    EXPECT_EQ(combo("cbDevNoSel").count(), 0);
    const QList<std::tuple<const char*, QString, QString>> edits = {
        {"windowLocXEdit", "  Window LocX", "Windows Location X"},
        {"windowLocYEdit", "  Window LocY", "Windows Location Y"},
        {"targetEdit", "  Target", "Max Target"},
        {"inRangeEdit", "  In Range", "Min Target"},
        {"outRangeEdit", " Out Range", "Background Offset"},
        {"manualExposureEdit", "  Manual Expo.", "Manual Exposure"},
        {"manualGainEdit", "  Manual Gain", "Gain Register Value"},
        {"avgIntensityEdit", "  Avg. Intensity", "Average Intensity"}};
    for (const auto& [name, label, tip] : edits) {
        EXPECT_EQ(edit(name).toolTip(), tip) << name;
        bool labelled = false;
        for (QLabel* each : hv::AecAgcTabPage::instance()->findChildren<QLabel*>()) {
            labelled = labelled || (each->buddy() == &edit(name) && each->text() == label);
        }
        EXPECT_TRUE(labelled) << name;
    }
    EXPECT_EQ(edit("ov6930GainEdit").toolTip(), "Actual Gain Value");
    EXPECT_EQ(edit("ov6930GainEdit").text(), "1.125");
    EXPECT_NE(hv::AecAgcTabPage::instance()->findChild<QPushButton*>("getAvgIntensityButton"),
              nullptr);
}

TEST_F(AecAgcTabPage, SetUpPutsTheSensorInAutomaticMatrixMeteringOfA160WindowAtTheOrigin) {
    poke(0x3603, 0x47);
    for (int address = 0x4280; address <= 0x428F; ++address) {
        poke(address, 0x88);
    }
    poke(0x3510, 60);
    poke(0x350F, 100);
    poke(0x351E, 30);
    poke(0x351B, 130);
    page();
    EXPECT_EQ(reg(0x3603), 0x44);
    EXPECT_EQ(regs(0x4280, 8), std::vector<int>({0x00, 0x00, 0x00, 0xA0, 0x00, 0x00, 0x00, 0xA0}));
    EXPECT_EQ(regs(0x4288, 8), kMatrix);
    EXPECT_EQ(combo("cbDevNoSel").currentText(), boardNames[0]);
    EXPECT_EQ(combo("aecagcSel").currentIndex(), 0);
    EXPECT_EQ(combo("windowSel").currentText(), "  160 x 160");
    EXPECT_EQ(combo("meteringSel").currentText(), "  MATRIX");
    EXPECT_EQ(edit("windowLocXEdit").text(), "0");
    EXPECT_EQ(edit("windowLocYEdit").text(), "0");
    EXPECT_EQ(edit("targetEdit").text(), "80");
    EXPECT_EQ(edit("inRangeEdit").text(), "20");
    EXPECT_EQ(edit("outRangeEdit").text(), "50");
    EXPECT_EQ(edit("manualExposureEdit").text(), "4000");
    EXPECT_FALSE(edit("manualExposureEdit").isEnabled());
    EXPECT_EQ(edit("manualGainEdit").text(), "2");
    EXPECT_FALSE(edit("manualGainEdit").isEnabled());
    EXPECT_EQ(edit("avgIntensityEdit").text(), QString::number(reg(0x4293)));
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(AecAgcTabPage, ManualModeSetsBothBitsAndWritesTheCachedValuesWhichSurviveADeviceChange) {
    poke(0x3603, 0x40);
    page(2);
    choose("aecagcSel", 1);
    EXPECT_EQ(reg(0x3603), 0x43);
    EXPECT_EQ(regs(0x3601, 2), std::vector<int>({0x0F, 0xA0}));
    EXPECT_EQ(regs(0x3608, 2), std::vector<int>({0x00, 0x02}));
    EXPECT_TRUE(edit("manualExposureEdit").isEnabled());
    EXPECT_FALSE(edit("targetEdit").isEnabled());
    EXPECT_FALSE(combo("meteringSel").isEnabled());

    enter("manualExposureEdit", "1234");
    enter("manualGainEdit", "40");
    EXPECT_EQ(regs(0x3601, 2), std::vector<int>({0x04, 0xD2}));
    EXPECT_EQ(regs(0x3608, 2), std::vector<int>({0x00, 40}));
    EXPECT_EQ(edit("ov6930GainEdit").text(), "3.5");

    choose("aecagcSel", 0);
    EXPECT_EQ(reg(0x3603), 0x40);
    EXPECT_FALSE(edit("manualExposureEdit").isEnabled());

    combo("cbDevNoSel").setCurrentIndex(1);
    choose("aecagcSel", 1);
    EXPECT_EQ(regs(0x3601, 2, 1), std::vector<int>({0x04, 0xD2}));
    EXPECT_EQ(regs(0x3609, 1, 1), std::vector<int>({40}));
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(AecAgcTabPage, IllegalEntriesAreRefusedInACriticalBoxAndThePreviousValueComesBack) {
    page();
    choose("aecagcSel", 1);
    enter("manualExposureEdit", "8192");
    enter("manualGainEdit", "-1");
    enter("manualGainEdit", "12a");
    EXPECT_EQ(edit("manualExposureEdit").text(), "4000");
    EXPECT_EQ(edit("manualGainEdit").text(), "2");
    choose("aecagcSel", 0);
    enter("windowLocXEdit", "241");  // the 160 window would end past the field
    enter("windowLocYEdit", "");
    EXPECT_EQ(prompts.messageTexts(), QStringList({illegalValue("8192", "Manual Exposure", 8191),
                                                   illegalValue("-1", "Manual Gain", 127),
                                                   illegalValue("12a", "Manual Gain", 127),
                                                   illegalValue("241", "Windows LocX", 400),
                                                   illegalValue("", "Windows LocY", 400)}));
    EXPECT_EQ(prompts.messageTitles(), QStringList(5, kTitle));
    EXPECT_EQ(prompts.records().front().icon, QMessageBox::Critical);
    EXPECT_EQ(edit("windowLocXEdit").text(), "0");
    EXPECT_EQ(edit("windowLocYEdit").text(), "0");
    EXPECT_EQ(regs(0x3601, 2), std::vector<int>({0x0F, 0xA0}));
}

TEST_F(AecAgcTabPage, TheWindowStartIsWrittenAloneAndASizeChangeWritesTheEndsFromIt) {
    page();
    choose("windowSel", 0);
    EXPECT_EQ(regs(0x4282, 2), std::vector<int>({0x00, 0x20}));
    enter("windowLocXEdit", "300");
    EXPECT_EQ(regs(0x4280, 4), std::vector<int>({0x01, 0x2C, 0x00, 0x20}));
    choose("windowSel", 1);
    EXPECT_EQ(regs(0x4282, 2), std::vector<int>({0x01, 0x6C}));
    EXPECT_EQ(regs(0x4286, 2), std::vector<int>({0x00, 0x40}));

    // 300 + 128 leaves the field: refused, and the combo shows the size in place.
    choose("windowSel", 3);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"ERROR:: windows out of 400 x 400 field [428, 128]!!!..."}));
    EXPECT_EQ(combo("windowSel").currentIndex(), 1);
    EXPECT_EQ(regs(0x4282, 2), std::vector<int>({0x01, 0x6C}));
}

TEST_F(AecAgcTabPage, TheWholeFieldFitsOnlyAtTheOriginAndEndsAtTheLastPixel) {
    page();
    choose("windowSel", 12);
    EXPECT_EQ(regs(0x4282, 2), std::vector<int>({0x01, 0x8F}));
    EXPECT_EQ(regs(0x4286, 2), std::vector<int>({0x01, 0x8F}));
    EXPECT_EQ(combo("windowSel").currentIndex(), 12);

    choose("windowSel", 0);
    enter("windowLocYEdit", "15");
    choose("windowSel", 11);  // 384 fits while the window starts below 16
    EXPECT_EQ(regs(0x4286, 2), std::vector<int>({0x01, 0x8F}));
    choose("windowSel", 0);
    enter("windowLocYEdit", "16");
    choose("windowSel", 11);
    choose("windowSel", 12);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"ERROR:: windows out of 400 x 400 field [384, 400]!!!...",
                           "ERROR:: windows out of 400 x 400 field [400, 416]!!!..."}));
    EXPECT_EQ(combo("windowSel").currentIndex(), 0);
}

TEST_F(AecAgcTabPage, EachMeteringModeWritesItsWeights) {
    page();
    choose("meteringSel", 1);
    EXPECT_EQ(regs(0x4288, 8), std::vector<int>({0x00, 0x00, 0x10, 0x01, 0x10, 0x01, 0x00, 0x00}));
    choose("meteringSel", 0);
    EXPECT_EQ(regs(0x4288, 8), std::vector<int>({0x0F, 0, 0, 0, 0, 0, 0, 0}));
    choose("meteringSel", 2);
    EXPECT_EQ(regs(0x4288, 8), kMatrix);
}

TEST_F(AecAgcTabPage, AClickOnTheLiveCanvasPicksTheSpotBlockWhileThePageIsShown) {
    QWidget window;
    auto* canvas = new hv::ImageDraw(&window);
    hv::AecAgcTabPage& shown = page();
    choose("meteringSel", 0);
    shown.show();
    // Field (100, 60) of the 160 window at the origin: column 2, row 1.
    hvtest::click(canvas, QPoint(160, 96));
    EXPECT_EQ(regs(0x4288, 8), std::vector<int>({0, 0, 0, 0x0F, 0, 0, 0, 0}));
    hvtest::click(canvas, QPoint(208, 96));
    EXPECT_EQ(regs(0x4288, 8), std::vector<int>({0, 0, 0, 0xF0, 0, 0, 0, 0}));
    EXPECT_EQ(regs(0x4280, 2), std::vector<int>({0, 0}));
    EXPECT_EQ(edit("windowLocXEdit").text(), "0");

    shown.hide();
    hvtest::click(canvas, QPoint(10, 10));
    EXPECT_EQ(regs(0x4288, 8), std::vector<int>({0, 0, 0, 0xF0, 0, 0, 0, 0}));
    EXPECT_FALSE(hv::SpotSelection::instance()->active());
}

TEST_F(AecAgcTabPage, APickMovesTheWindowTowardThePressButNotPastTheFieldsEdge) {
    hv::AecAgcTabPage& shown = page();
    choose("meteringSel", 0);
    enter("windowLocXEdit", "10");
    enter("windowLocYEdit", "10");
    shown.show();
    // Field (1, 1): an eighth of the window (20) to the left and up would pass the edge.
    hv::SpotSelection::instance()->choose(QPoint(2, 2));
    EXPECT_EQ(regs(0x4280, 2), std::vector<int>({0, 0}));
    EXPECT_EQ(regs(0x4284, 2), std::vector<int>({0, 0}));
    EXPECT_EQ(edit("windowLocXEdit").text(), "0");
    EXPECT_EQ(edit("windowLocYEdit").text(), "0");
    EXPECT_EQ(regs(0x4288, 8), std::vector<int>({0x0F, 0, 0, 0, 0, 0, 0, 0}));

    // Far to the right: the window moves by 20 and the press is still beyond its last column.
    hv::SpotSelection::instance()->choose(QPoint(480, 32));
    EXPECT_EQ(regs(0x4280, 2), std::vector<int>({0, 20}));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"ERROR::Spot block number out of 0-15 bound!!!..."}));
    EXPECT_EQ(regs(0x4288, 8), std::vector<int>({0x0F, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(AecAgcTabPage, TheTargetAndItsBandsAreWrittenWithinTheirLimits) {
    poke(0x3510, 60);
    poke(0x350F, 100);
    poke(0x351E, 40);
    poke(0x351B, 120);
    page();
    enter("targetEdit", "90");
    EXPECT_EQ(reg(0x3510), 70);
    EXPECT_EQ(reg(0x350F), 110);
    EXPECT_EQ(reg(0x351E), 50);
    EXPECT_EQ(reg(0x351B), 130);

    enter("targetEdit", "220");
    enter("targetEdit", "45");
    enter("inRangeEdit", "50");
    enter("outRangeEdit", "15");
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList({"ERROR:: target value is out of 10-240 range [180-200-220-240-260]!!!...",
                     "ERROR:: target value is out of 10-240 range [5-25-45-65-85]!!!...",
                     "ERROR:: stable in range is larger than stable out range or stable in "
                     "range out of 40-200 limits!!!...",
                     "ERROR:: stable out range is smaller than stable in range or stable out "
                     "range out of 10-240 limits!!!..."}));
    EXPECT_EQ(edit("targetEdit").text(), "90");
    EXPECT_EQ(edit("inRangeEdit").text(), "20");
    EXPECT_EQ(edit("outRangeEdit").text(), "40");
    EXPECT_EQ(regs(0x3510, 1), std::vector<int>({70}));

    enter("inRangeEdit", "30");
    enter("outRangeEdit", "60");
    EXPECT_EQ(reg(0x3510), 60);
    EXPECT_EQ(reg(0x350F), 120);
    EXPECT_EQ(reg(0x351E), 30);
    EXPECT_EQ(reg(0x351B), 150);
}

TEST_F(AecAgcTabPage, AWriteTheSensorDoesNotTakeIsReportedWithItsCodeAndNothingIsRecorded) {
    poke(0x3510, 70);
    poke(0x350F, 110);
    poke(0x351E, 50);
    poke(0x351B, 130);
    page();
    const QString code = QString::number(EPIPE);
    {
        SensorSilence silence;
        enter("targetEdit", "100");
        choose("aecagcSel", 1);
        enter("windowLocXEdit", "50");
    }
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList({"ERROR::Fail to set stable in range [ErrorCode = " + code + "]!!!...",
                     "ERROR::Fail to enable/disable AEC and ASGC [ErrorCode = " + code + "]!!!...",
                     "ERROR::Fail to set window location X [ErrorCode = " + code + "]!!!..."}));
    EXPECT_EQ(edit("targetEdit").text(), "90");
    EXPECT_EQ(combo("aecagcSel").currentIndex(), 0);
    EXPECT_TRUE(edit("targetEdit").isEnabled());
    EXPECT_EQ(edit("windowLocXEdit").text(), "0");

    // The page still holds the old values: the same entries go through now.
    enter("targetEdit", "100");
    enter("windowLocXEdit", "50");
    EXPECT_EQ(regs(0x3510, 1), std::vector<int>({80}));
    EXPECT_EQ(regs(0x4281, 1), std::vector<int>({50}));
    EXPECT_EQ(prompts.messageTexts().size(), 3);
}

TEST_F(AecAgcTabPage, ExposureAndTargetChangeThePicture) {
    page();
    choose("aecagcSel", 1);
    const double longExposure = meanAfter(2);
    enter("manualExposureEdit", "1000");
    const double shortExposure = meanAfter(2);
    EXPECT_LT(shortExposure, longExposure * 0.6);

    choose("aecagcSel", 0);
    // The average the sensor reports settles within the stable-in band of each target.
    const auto [bright, brightAverage] = settleAt("180");
    EXPECT_GE(brightAverage, 160);
    EXPECT_LE(brightAverage, 200);
    const auto [dark, darkAverage] = settleAt("60");
    EXPECT_GE(darkAverage, 40);
    EXPECT_LE(darkAverage, 80);
    EXPECT_GT(bright, dark + 40);
}

TEST_F(AecAgcTabPage, TheSetupDialogHostsThePageInItsTab) {
    hv::setupDialog dialog;
    poke(0x3603, 0x03);
    dialog.initialise(nullptr, 1, boardNames.mid(0, 1), boards.mid(0, 1));
    ASSERT_NE(hv::AecAgcTabPage::instance(), nullptr);
    EXPECT_EQ(hv::AecAgcTabPage::instance()->parentWidget(),
              dialog.findChild<QWidget*>("tabAecAgc"));
    EXPECT_FALSE(prompts.messageTexts().contains("WARNING::Fail to get AEC+AGC Tab Page!!!"));
    EXPECT_EQ(reg(0x3603), 0x00);
}

}  // namespace
