// The metering tool: its preset combo, Add and Import, Save, and the form keeping the record.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstring>

#include "MeteringTable.h"
#include "PresetFolderScope.h"
#include "ScriptedUiPrompter.h"
#include "meteringDialog.h"

namespace {

class MeteringDialogTest : public testing::Test {
protected:
    void open() { dialog.setupMeteringDialog(); }
    QComboBox* presets() { return dialog.findChild<QComboBox*>("presetCombo"); }
    QStringList presetNames() {
        QStringList names;
        for (int i = 0; i < presets()->count(); ++i) {
            names << presets()->itemText(i);
        }
        return names;
    }
    QSpinBox* weightBox(int i) {
        return dialog.findChild<QSpinBox*>(QString("weightBox%1").arg(i, 2, 10, QChar('0')));
    }
    std::string presetFile(const char* name) const {
        return scope.config() + "/Metering/" + name + ".txt";
    }

    uitest::PresetFolderScope scope;
    uitest::ScriptedUiPrompter prompts;
    meteringDialog dialog;
};

TEST_F(MeteringDialogTest, TheComboListsDefaultAndThePresetFilesOfTheMeteringFolder) {
    scope.write("Metering/Zeta.txt", "START_X:\t5\n");
    scope.write("Metering/Alpha.txt", "START_X:\t6\n");
    scope.write("Metering/Alpha.txt.bak", "");
    scope.write("Metering/notes.md", "");
    scope.write("Other.txt", "");
    open();
    EXPECT_EQ(dialog.windowTitle(), "Metering Tools");
    EXPECT_EQ(presetNames(), (QStringList{"Default", "Alpha", "Zeta"}));
    EXPECT_EQ(presets()->currentIndex(), 0);
}

TEST_F(MeteringDialogTest, ChoosingAPresetShowsItsValuesAndDefaultBringsBackTheBuiltInOnes) {
    scope.write("Metering/Spot.txt",
                "METERING_MODE:\tSPOT\n\nSTART_X:\t120\n\nWEIGHT_05:\t05,142,150,28,20,3\n\n"
                "EXPOSURE:\t1.5\n\nMETERING_SIZE:\t400x400\n\nAUTO_TARGET:\tTRUE\n\n");
    meteringDialog::s_meData.mode = 1;
    open();
    presets()->setCurrentIndex(1);
    EXPECT_STREQ(meteringDialog::s_meData.name, "Spot");
    EXPECT_EQ(meteringDialog::s_meData.startX, 120);
    EXPECT_EQ(meteringDialog::s_meData.mode, 0);
    EXPECT_EQ(dialog.findChild<QSpinBox*>("startXSpin")->value(), 120);
    EXPECT_EQ(dialog.findChild<QComboBox*>("sizeCombo")->currentText(), "400 x 400");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("exposureEdit")->text(), "1.50");
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("autoTargetCheck")->isChecked());
    EXPECT_EQ(weightBox(5)->value(), 3);
    // A setting the file lacks has its built-in value, not the one shown before.
    EXPECT_EQ(meteringDialog::s_meData.upperLimit, 110);

    presets()->setCurrentIndex(0);
    EXPECT_STREQ(meteringDialog::s_meData.name, "Default");
    EXPECT_EQ(meteringDialog::s_meData.startX, 90);
    EXPECT_EQ(meteringDialog::s_meData.size, 2);
    EXPECT_EQ(weightBox(5)->value(), 8);
    EXPECT_EQ(dialog.findChild<QSpinBox*>("startXSpin")->value(), 90);
}

TEST_F(MeteringDialogTest, TheFormStoresEveryValueInTheRecord) {
    open();
    dialog.findChild<QComboBox*>("modeCombo")->setCurrentIndex(2);
    dialog.findChild<QComboBox*>("sizeCombo")->setCurrentIndex(9);
    dialog.findChild<QComboBox*>("typeCombo")->setCurrentIndex(1);
    dialog.findChild<QComboBox*>("agcModuleCombo")->setCurrentIndex(1);
    dialog.findChild<QSpinBox*>("startYSpin")->setValue(33);
    dialog.findChild<QSpinBox*>("lowerLimitSpin")->setValue(12);
    dialog.findChild<QCheckBox*>("autoZoneCheck")->setChecked(true);
    QLineEdit* gain = dialog.findChild<QLineEdit*>("gainEdit");
    gain->clear();
    QTest::keyClicks(gain, "2.25");
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        weightBox(i)->setValue(i % 16);
    }
    const MeteringRecord& record = meteringDialog::s_meData;
    EXPECT_EQ(record.mode, 2);
    EXPECT_EQ(record.size, 9);
    EXPECT_EQ(record.type, 1);
    EXPECT_EQ(record.agcModule, 1);
    EXPECT_EQ(record.startY, 33);
    EXPECT_EQ(record.lowerLimit, 12);
    EXPECT_EQ(record.autoZones, 1);
    EXPECT_EQ(record.gain, 2.25);
    for (int i = 0; i < MeteringRecord::kZones; ++i) {
        EXPECT_EQ(record.zones[i].weight, i) << i;
    }
    // Weights are assigned automatically: the boxes cannot be edited.
    EXPECT_FALSE(weightBox(0)->isEnabled());
}

TEST_F(MeteringDialogTest, CancellingTheNameAddsNothing) {
    open();
    prompts.answerText(std::nullopt);
    dialog.findChild<QPushButton*>("addButton")->click();
    EXPECT_EQ(prompts.textPrompts(), QStringList{"New Metering Name:"});
    EXPECT_EQ(presetNames(), QStringList{"Default"});
    EXPECT_STREQ(meteringDialog::s_meData.name, "Default");
    EXPECT_TRUE(prompts.warnings().isEmpty());
}

TEST_F(MeteringDialogTest, BadBlankAndKnownNamesAreRefusedWithAWarning) {
    scope.write("Metering/Taken.txt", "");
    open();
    for (const char* name : {"", "../x", "a b", "a/b", "a\\b", "a:b", "Default", "Taken"}) {
        prompts.answerText(QString(name));
        dialog.OnAddMeteringPreference();
    }
    EXPECT_EQ(prompts.warnings().size(), 8);
    EXPECT_EQ(presetNames(), (QStringList{"Default", "Taken"}));
    EXPECT_STREQ(meteringDialog::s_meData.name, "Default");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(scope.root() + "/Config/x.txt")));
}

TEST_F(MeteringDialogTest, ANewNameStartsFromTheBuiltInValuesAndSaveWritesIt) {
    open();
    dialog.findChild<QSpinBox*>("startXSpin")->setValue(200);
    dialog.findChild<QCheckBox*>("autoTargetCheck")->setChecked(true);
    prompts.answerText(QString("Bright_Field"));
    dialog.findChild<QPushButton*>("addButton")->click();
    EXPECT_EQ(presetNames(), (QStringList{"Default", "Bright_Field"}));
    EXPECT_EQ(presets()->currentText(), "Bright_Field");
    EXPECT_STREQ(meteringDialog::s_meData.name, "Bright_Field");
    EXPECT_EQ(meteringDialog::s_meData.startX, 90);
    EXPECT_EQ(meteringDialog::s_meData.autoTarget, 0);
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("autoTargetCheck")->isChecked());

    weightBox(0)->setValue(15);
    dialog.findChild<QPushButton*>("saveButton")->click();
    EXPECT_TRUE(prompts.warnings().isEmpty());
    MeteringRecord saved;
    saved.zones[0].weight = 0;
    kxui::MeteringTable table(saved);
    EXPECT_EQ(dialog.readMeteringPreference(table.entries(), presetFile("Bright_Field")), 31);
    EXPECT_STREQ(saved.name, "Bright_Field");
    EXPECT_EQ(saved.zones[0].weight, 15);
}

TEST_F(MeteringDialogTest, TheBuiltInPresetIsNotSaved) {
    open();
    dialog.OnSave();
    EXPECT_EQ(prompts.warnings().size(), 1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(presetFile("Default"))));
}

TEST_F(MeteringDialogTest, AFolderThatCannotBeWrittenGivesAWarningAndKeepsTheOldFile) {
    const std::string file = scope.write("Metering/Locked.txt", "START_X:\t7\n\n");
    open();
    presets()->setCurrentIndex(1);
    meteringDialog::s_meData.startX = 300;
    const std::string folder = scope.config() + "/Metering";
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    ASSERT_EQ(chmod(scope.root().c_str(), 0777), 0);
    ASSERT_EQ(chmod(scope.config().c_str(), 0777), 0);
    // The super-user may write anywhere; the save runs as an ordinary user in a child.
    const bool asRoot = geteuid() == 0;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = !asRoot || (setgid(65534) == 0 && setuid(65534) == 0);
        if (!dropped) {
            _exit(2);
        }
        dialog.OnSave();
        _exit(prompts.warnings().size() == 1 && prompts.warnings().front().contains("Locked.txt")
                  ? 0
                  : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(folder.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "START_X:\t7\n\n");
}

TEST_F(MeteringDialogTest, ImportTakesAPresetIntoTheFolderUnderItsOwnName) {
    const std::string outside = scope.root() + "/Lung_Scan.txt";
    std::ofstream(outside) << "METERING_NAME:\tSomething_Else\n\nTARGET:\t77\n\n";
    open();
    prompts.answerFile(QString::fromStdString(outside));
    dialog.findChild<QPushButton*>("importButton")->click();
    EXPECT_TRUE(prompts.warnings().isEmpty());
    EXPECT_EQ(presets()->currentText(), "Lung_Scan");
    EXPECT_STREQ(meteringDialog::s_meData.name, "Lung_Scan");
    EXPECT_EQ(meteringDialog::s_meData.target, 77);
    EXPECT_EQ(dialog.findChild<QSpinBox*>("targetSpin")->value(), 77);
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(presetFile("Lung_Scan"))));

    // The same name again is refused, and a cancelled dialog does nothing.
    prompts.answerFile(QString::fromStdString(outside));
    dialog.OnImportMeteringPreference();
    prompts.answerFile(QString());
    dialog.OnImportMeteringPreference();
    EXPECT_EQ(prompts.warnings().size(), 1);
    EXPECT_EQ(presetNames(), (QStringList{"Default", "Lung_Scan"}));
}

TEST_F(MeteringDialogTest, HelpAndResetTellWhatTheyDo) {
    scope.write("Metering/Kept.txt", "START_X:\t11\n\n");
    open();
    presets()->setCurrentIndex(1);
    dialog.findChild<QSpinBox*>("startXSpin")->setValue(250);
    dialog.findChild<QPushButton*>("resetButton")->click();
    EXPECT_EQ(meteringDialog::s_meData.startX, 11);
    dialog.findChild<QPushButton*>("helpButton")->click();
    EXPECT_EQ(prompts.informations(),
              (QStringList{"Reset Metering Settings", "Help Message For Metering Tool"}));
    EXPECT_EQ(prompts.titles(), (QStringList{"Metering Tool", "Metering Tool"}));
}

}  // namespace
