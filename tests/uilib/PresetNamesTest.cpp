// Which names may name a preset, and which files of a folder are presets.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "PresetFolders.h"
#include "PresetList.h"
#include "PresetName.h"
#include "WarningCatcher.h"
#include "configDialog.h"

namespace {

TEST(PresetNames, NamesThatWouldLeaveTheFolderOrSplitTheirWordAreRefused) {
    for (const char* name : {"", "../x", "..", "a..b", "a/b", "/x", "a\\b", "C:x", "a b", "a\tb",
                             " x", "x\n", ".hidden", "x\x01"}) {
        EXPECT_FALSE(kxui::PresetName::acceptable(QString::fromUtf8(name))) << name;
    }
    for (const char* name : {"Bright_Field", "x", "100%", "Lunge-2.v3", "Präparat"}) {
        EXPECT_TRUE(kxui::PresetName::acceptable(QString::fromUtf8(name))) << name;
    }
    EXPECT_TRUE(kxui::PresetName::acceptable(QString(251, 'n')));
    EXPECT_FALSE(kxui::PresetName::acceptable(QString(252, 'n')));
    // 126 two-byte characters are 252 bytes.
    EXPECT_FALSE(kxui::PresetName::acceptable(QString(126, QChar(0xE9))));
}

TEST(PresetNames, SavedNamesMayHoldBlanksButNoWayOut) {
    EXPECT_TRUE(kxui::PresetName::safeAsFile("Pig Lab"));
    EXPECT_FALSE(kxui::PresetName::safeAsFile("../Pig Lab"));
    EXPECT_FALSE(kxui::PresetName::safeAsFile("Pig/Lab"));
    EXPECT_FALSE(kxui::PresetName::safeAsFile(""));
}

TEST(PresetFiles, OnlyTextFilesThatAreNoBackupsAreListed) {
    QTemporaryDir dir;
    for (const char* file :
         {"b.txt", "a.txt", "c.TXT", "d.txt.bak", "e.bak.txt", "f.txt~", "g~.txt",
          "h.txt.tmp-0a1b2c3d", "h.tmp-0a1b2c3d.txt", ".i.txt", ".txt", "j.cfg", "k"}) {
        std::ofstream(dir.filePath(file).toStdString()) << "x";
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    configDialog dialog;
    EXPECT_EQ(kxui::PresetList::names(dialog, dir.path().toStdString()), (QStringList{"a", "b"}));
}

TEST(PresetFiles, AMissingFolderHasNoPresetsAndNoWarning) {
    QTemporaryDir dir;
    configDialog dialog;
    const uitest::WarningCatcher warnings;
    EXPECT_TRUE(kxui::PresetList::names(dialog, dir.filePath("none").toStdString()).isEmpty());
    EXPECT_TRUE(warnings.texts.isEmpty());
}

TEST(PresetFiles, FoldersFollowTheSettingsFolder) {
    const std::string previous = PresetFolders::configFolder();
    PresetFolders::setConfigFolder("/srv/root/Config//");
    EXPECT_EQ(PresetFolders::metering(), "/srv/root/Config/Metering");
    EXPECT_EQ(PresetFolders::preference(), "/srv/root/Config");
    EXPECT_EQ(PresetFolders::gamma(), "/srv/root/Config/Gamma");
    EXPECT_EQ(PresetFolders::sharpness(), "/srv/root/Config/Sharpness");
    EXPECT_EQ(PresetFolders::presetFile(PresetFolders::color(), "Pig Lung"),
              "/srv/root/Config/Color/Pig Lung.txt");
    PresetFolders::setConfigFolder("");
    EXPECT_EQ(PresetFolders::illumination(), "Config/Illumination");
    PresetFolders::setConfigFolder(previous);
}

}  // namespace
