// The preference dialog: its single instance, its preset combos, Add, Save and its tools.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "PreferenceTable.h"
#include "PresetFolderScope.h"
#include "ScriptedUiPrompter.h"
#include "gammaDialog.h"
#include "meteringDialog.h"
#include "preferenceDialog.h"

namespace {

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

class PreferenceDialogTest : public testing::Test {
protected:
    void open() { dialog.setupPreferenceDialog(); }
    QComboBox* combo(const char* name) { return dialog.findChild<QComboBox*>(name); }

    uitest::PresetFolderScope scope;
    uitest::ScriptedUiPrompter prompts;
    preferenceDialog dialog;
};

TEST(PreferenceInstance, OneDialogUntilItsParentDestroysIt) {
    auto* parent = new QWidget;
    preferenceDialog* first = preferenceDialog::getInstance(parent);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), parent);
    EXPECT_EQ(preferenceDialog::getInstance(nullptr), first);
    EXPECT_EQ(first->windowTitle(), "Preference");

    const QPointer<preferenceDialog> watched(first);
    delete parent;
    ASSERT_TRUE(watched.isNull());
    // A new dialog, not the destroyed one: it can be built and shown.
    QWidget otherParent;
    preferenceDialog* second = preferenceDialog::getInstance(&otherParent);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->parentWidget(), &otherParent);
    second->setupPreferenceDialog();
    EXPECT_EQ(second->findChild<QComboBox*>("presetCombo")->itemText(0), "Pig Lab");
}

TEST_F(PreferenceDialogTest, CombosListTheirFoldersAfterTheirFixedFirstItems) {
    scope.write("Lab_B.txt", "PREFERENCE_NAME:\t\t\tLab_B\n\n");
    scope.write("devicemap.txt", "2a0e:1001 RT4207-x6B6B\n");
    scope.write("Lab_B.txt.bak", "PREFERENCE_NAME:\t\t\tLab_B\n\n");
    scope.write("Metering/Bright.txt", "");
    scope.write("Gamma/Lookup1024_0.txt", "");
    scope.write("Gamma/Lookup1024_1.txt", "");
    scope.write("Color/Warm.txt", "");
    scope.write("Illumination/50%.txt", "");
    scope.write("Sharpness/Soft.txt", "");
    open();
    EXPECT_EQ(itemsOf(combo("presetCombo")), (QStringList{"Pig Lab", "Lab_B"}));
    EXPECT_EQ(itemsOf(combo("aecAgcCombo")), (QStringList{"Auto", "Bright"}));
    EXPECT_EQ(itemsOf(combo("gammaCombo")), (QStringList{"Lookup1024_0", "Lookup1024_1"}));
    EXPECT_EQ(itemsOf(combo("colorCombo")), (QStringList{"Pig Lung", "Warm"}));
    EXPECT_EQ(itemsOf(combo("illuminationCombo")), (QStringList{"100%", "50%"}));
    EXPECT_EQ(itemsOf(combo("sharpnessCombo")), (QStringList{"Soft"}));
}

TEST_F(PreferenceDialogTest, ChoosingAPresetLoadsItUnderItsOwnName) {
    scope.write("Lab_B.txt",
                "PREFERENCE_NAME:\t\t\t..%2F..%2Fescape\n\nCOLOR_SETTINGS:\t\t\tWarm\n\n"
                "HDMI_OUTPUT:\t\t\tTRUE\n\nCHANNEL_OUTPUT:\t\t\tPATTERN\n\n");
    scope.write("Color/Warm.txt", "");
    open();
    preferenceDialog::s_peData.motionCompensation = 1;
    combo("presetCombo")->setCurrentIndex(1);
    const PreferenceRecord& record = preferenceDialog::s_peData;
    EXPECT_STREQ(record.name, "Lab_B");
    EXPECT_STREQ(record.colorSettings, "Warm");
    EXPECT_EQ(record.hdmiOutput, 1);
    EXPECT_EQ(record.motionCompensation, 0);
    EXPECT_EQ(record.channelOutput, PreferenceRecord::kPattern);
    EXPECT_EQ(combo("colorCombo")->currentText(), "Warm");
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("hdmiCheck")->isChecked());
    EXPECT_EQ(combo("channelCombo")->currentData().toInt(), PreferenceRecord::kPattern);
}

TEST_F(PreferenceDialogTest, AreasOptionsAndChannelAreStoredAndSaveWritesThem) {
    scope.write("Gamma/Lookup1024_3.txt", "");
    open();
    combo("gammaCombo")->setCurrentIndex(0);
    combo("illuminationCombo")->setCurrentIndex(0);
    combo("channelCombo")->setCurrentIndex(3);
    dialog.findChild<QCheckBox*>("medianCheck")->setChecked(true);
    dialog.findChild<QCheckBox*>("flatFieldCheck")->setChecked(true);
    EXPECT_STREQ(preferenceDialog::s_peData.gammaSettings, "Lookup1024_3");
    EXPECT_STREQ(preferenceDialog::s_peData.illuminationSettings, "100%");
    EXPECT_EQ(preferenceDialog::s_peData.channelOutput, PreferenceRecord::kColorBarX20);

    prompts.answerText(QString("Lab_C"));
    dialog.findChild<QPushButton*>("addButton")->click();
    EXPECT_EQ(prompts.textPrompts(), QStringList{"New Preference Name:"});
    EXPECT_EQ(combo("presetCombo")->currentText(), "Lab_C");
    dialog.findChild<QPushButton*>("saveButton")->click();
    EXPECT_TRUE(prompts.warnings().isEmpty());

    PreferenceRecord saved;
    saved.channelOutput = 0;
    EXPECT_EQ(dialog.readProference(kxui::PreferenceTable(saved).entries(),
                                    scope.config() + "/Lab_C.txt"),
              12);
    EXPECT_STREQ(saved.name, "Lab_C");
    EXPECT_STREQ(saved.gammaSettings, "Lookup1024_3");
    EXPECT_STREQ(saved.illuminationSettings, "100%");
    EXPECT_EQ(saved.medianFilter, 1);
    EXPECT_EQ(saved.flatFieldCorrection, 1);
    EXPECT_EQ(saved.channelOutput, PreferenceRecord::kColorBarX20);
}

TEST_F(PreferenceDialogTest, CancelledEmptyBadAndKnownNamesAddNothing) {
    scope.write("Lab_B.txt", "PREFERENCE_NAME:\t\t\tLab_B\n\n");
    open();
    prompts.answerText(std::nullopt);
    dialog.OnAddPresetPreferenceButton();
    EXPECT_TRUE(prompts.warnings().isEmpty());
    for (const char* name : {"", "../x", "Pig Lab", "Lab_B", "c:x"}) {
        prompts.answerText(QString(name));
        dialog.OnAddPresetPreferenceButton();
    }
    EXPECT_EQ(prompts.warnings().size(), 5);
    EXPECT_EQ(itemsOf(combo("presetCombo")), (QStringList{"Pig Lab", "Lab_B"}));
    EXPECT_STREQ(preferenceDialog::s_peData.name, "Pig Lab");
}

TEST_F(PreferenceDialogTest, TheFirstOpeningChoosesTheFirstItemsAndAnUnsavedPresetStaysListed) {
    scope.write("Pig Lab.txt", "SHARPNESS_SETTINGS:\t\t\tGone\n\nHDMI_OUTPUT:\t\t\tTRUE\n\n");
    scope.write("Sharpness/Soft.txt", "");
    open();
    const PreferenceRecord& record = preferenceDialog::s_peData;
    EXPECT_STREQ(record.name, "Pig Lab");
    EXPECT_EQ(record.hdmiOutput, 1);
    EXPECT_STREQ(record.agcSettings, "Auto");
    EXPECT_STREQ(record.colorSettings, "Pig Lung");
    EXPECT_STREQ(record.illuminationSettings, "100%");
    // The sharpness preset the file names is gone from its folder: the first one is chosen.
    EXPECT_STREQ(record.sharpnessSettings, "Soft");
    EXPECT_STREQ(record.gammaSettings, "");
    EXPECT_EQ(combo("gammaCombo")->currentIndex(), -1);

    prompts.answerText(QString("Lab_E"));
    dialog.OnAddPresetPreferenceButton();
    open();
    EXPECT_EQ(itemsOf(combo("presetCombo")), (QStringList{"Pig Lab", "Lab_E"}));
    EXPECT_EQ(combo("presetCombo")->currentText(), "Lab_E");
}

TEST_F(PreferenceDialogTest, AFailedSaveWarnsAndANameThatLeavesTheFolderIsNotSaved) {
    open();
    std::strcpy(preferenceDialog::s_peData.name, "../x");
    dialog.OnSave();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(scope.root() + "/x.txt")));
    // A folder where the file would go cannot be replaced.
    QDir().mkpath(QString::fromStdString(scope.config() + "/Lab_D.txt"));
    std::strcpy(preferenceDialog::s_peData.name, "Lab_D");
    dialog.OnSave();
    ASSERT_EQ(prompts.warnings().size(), 2);
    EXPECT_TRUE(prompts.warnings()[1].contains("Lab_D.txt"));
    EXPECT_EQ(prompts.titles(), (QStringList{"PREFERENCE", "PREFERENCE"}));
}

TEST_F(PreferenceDialogTest, ToolsWithoutAnEditorTellTheirNames) {
    open();
    for (const char* button : {"colorToolButton", "sharpnessToolButton", "illuminationToolButton",
                               "flatFieldSetupButton", "geometricSetupButton"}) {
        dialog.findChild<QPushButton*>(button)->click();
    }
    EXPECT_EQ(prompts.informations(),
              (QStringList{"Color Tool", "Sharpness Tool", "Illumination Tool",
                           "Flat Field Correction Setup", "Geometric Correction Setup"}));
}

TEST_F(PreferenceDialogTest, TheMeteringToolRunsModallyAndItsNewPresetsAreListed) {
    open();
    QTimer::singleShot(0, [this] {
        auto* metering = dialog.findChild<meteringDialog*>();
        ASSERT_NE(metering, nullptr);
        EXPECT_TRUE(metering->isModal());
        prompts.answerText(QString("Night"));
        metering->OnAddMeteringPreference();
        metering->OnSave();
        metering->OnOK();
    });
    dialog.findChild<QPushButton*>("meteringToolButton")->click();
    EXPECT_EQ(dialog.findChild<meteringDialog*>(), nullptr);
    EXPECT_EQ(itemsOf(combo("aecAgcCombo")), (QStringList{"Auto", "Night"}));
}

TEST_F(PreferenceDialogTest, TheGammaToolRunsModallyAndTheTablesItSavesAreListed) {
    open();
    EXPECT_FALSE(itemsOf(combo("gammaCombo")).contains("Warm"));
    QTimer::singleShot(0, [this] {
        auto* gamma = dialog.findChild<gammaDialog*>();
        ASSERT_NE(gamma, nullptr);
        EXPECT_TRUE(gamma->isModal());
        prompts.answerText(QString("Warm"));
        gamma->OnSave();
        gamma->OnOK();
    });
    dialog.findChild<QPushButton*>("gammaToolButton")->click();
    EXPECT_EQ(dialog.findChild<gammaDialog*>(), nullptr);
    EXPECT_EQ(prompts.informations(), QStringList{"Save Gamma Settings"});
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(scope.config() + "/Gamma/Warm.txt")));
    EXPECT_TRUE(itemsOf(combo("gammaCombo")).contains("Warm"));
}

}  // namespace
