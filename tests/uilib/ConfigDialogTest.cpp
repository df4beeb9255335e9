// Settings files: value codecs, reading and writing lines, settings tables and folder listings.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

#include "ConfigTable.h"
#include "FileSizeLimit.h"
#include "FileText.h"
#include "WarningCatcher.h"
#include "configDialog.h"

namespace {

using uitest::readAll;

class ConfigDialogTest : public testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    QTemporaryDir dir;
    configDialog dialog;
};

TEST(ConfigCodecs, TruthValuesReadBackInAnyLetterCase) {
    uint8_t field = 0;
    uint8_t one = 1;
    for (auto put : {&configDialog::putBOOL, &configDialog::putYES, &configDialog::putFLAG}) {
        field = 0;
        configDialog::getBOOL(&field, put(&one));
        EXPECT_EQ(field, 1) << put(&one);
    }
    EXPECT_EQ(configDialog::putBOOL(&one), "TRUE");
    EXPECT_EQ(configDialog::putYES(&field), "YES");
    field = 0;
    EXPECT_EQ(configDialog::putFLAG(&field), "OFF");
    configDialog::getBOOL(&field, "yes");
    EXPECT_EQ(field, 1);
    configDialog::getBOOL(&field, "On");
    EXPECT_EQ(field, 1);
    configDialog::getBOOL(&field, "no");
    EXPECT_EQ(field, 0);
    field = 1;
    configDialog::getBOOL(&field, "YESS");
    EXPECT_EQ(field, 0);
}

TEST(ConfigCodecs, Numbers) {
    int32_t word = 70000;
    EXPECT_EQ(configDialog::putWORD(&word), "4464");
    EXPECT_EQ(configDialog::putBYTE(&word), "4464");
    EXPECT_EQ(configDialog::putUINT(&word), "70000");
    word = -5;
    EXPECT_EQ(configDialog::putUINT(&word), "-5");
    EXPECT_EQ(configDialog::putWORD(&word), "65531");

    configDialog::getUINT(&word, "+123abc");
    EXPECT_EQ(word, 123);
    configDialog::getWORD(&word, "-42");
    EXPECT_EQ(word, -42);
    // Text that is no number, or none that fits 32 bits, leaves the field as it was.
    configDialog::getBYTE(&word, "abc");
    configDialog::getBYTE(&word, "99999999999");
    configDialog::getBYTE(&word, "");
    EXPECT_EQ(word, -42);

    double value = 0;
    configDialog::getDOUBLE(&value, "-2.5e1");
    EXPECT_DOUBLE_EQ(value, -25.0);
    configDialog::getDOUBLE(&value, "none");
    EXPECT_EQ(value, 0.0);
}

TEST(ConfigCodecs, DoublesReadBackExactly) {
    const double values[] = {3.14159,
                             1e100,
                             -1e-300,
                             0.1,
                             1.0 / 3,
                             123456789.125,
                             -0.0,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             std::numeric_limits<double>::denorm_min()};
    for (const double value : values) {
        const std::string text = configDialog::putDOUBLE(const_cast<double*>(&value));
        double back = 7;
        configDialog::getDOUBLE(&back, text);
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
    double value = 3.14159;
    EXPECT_EQ(configDialog::putDOUBLE(&value), "3.14159");

    // Files written with two decimals read as they did, however long the number.
    for (const double old : {3.14, 1e100, -2.5e30}) {
        char text[160];
        std::snprintf(text, sizeof text, "%.2f", old);
        configDialog::getDOUBLE(&value, text);
        EXPECT_EQ(value, old) << text;
    }
}

TEST(ConfigCodecs, StringsKeepTheirCaseAndAreCutAt80) {
    char buffer[81];
    std::memset(buffer, 'x', sizeof buffer);
    configDialog::getSTRING(buffer, "MixedCase/Path");
    EXPECT_STREQ(buffer, "MixedCase/Path");
    EXPECT_EQ(configDialog::putSTRING(buffer), "MixedCase/Path");

    const std::string longText(100, 'k');
    configDialog::getSTRING(buffer, longText);
    EXPECT_EQ(std::strlen(buffer), 80u);
    EXPECT_EQ(configDialog::putSTRING(buffer), longText.substr(0, 80));

    // A cut never splits a UTF-8 character: it goes back to the last whole one.
    const std::string umlaut = "\xC3\xA4";
    const std::string sun = "\xE6\x97\xA5";
    const std::pair<std::string, std::string> cuts[] = {
        {std::string(79, 'k') + umlaut + "tail", std::string(79, 'k')},
        {std::string(78, 'k') + sun, std::string(78, 'k')},
        {std::string(77, 'k') + sun + sun, std::string(77, 'k') + sun},
    };
    char wide[100];
    for (const auto& [text, kept] : cuts) {
        configDialog::getSTRING(buffer, text);
        EXPECT_EQ(std::string(buffer), kept);
        std::memcpy(wide, text.c_str(), text.size() + 1);
        EXPECT_EQ(configDialog::putSTRING(wide), kept);
    }

    EXPECT_EQ(configDialog::toUpper("straße 1a" + std::string(90, 'z')),
              "STRAßE 1A" + std::string(80 - 10, 'Z'));
}

TEST(ConfigCodecs, NullFieldsAreLeftAlone) {
    for (auto get : {&configDialog::getBOOL, &configDialog::getBYTE, &configDialog::getDOUBLE,
                     &configDialog::getSTRING}) {
        get(nullptr, "1");
    }
    for (auto put : {&configDialog::putBOOL, &configDialog::putYES, &configDialog::putFLAG,
                     &configDialog::putBYTE, &configDialog::putUINT, &configDialog::putDOUBLE,
                     &configDialog::putSTRING}) {
        EXPECT_EQ(put(nullptr), "");
    }
}

TEST_F(ConfigDialogTest, TwoSettingsMakeFourLines) {
    const std::string file = path("metering.cfg");
    EXPECT_EQ(dialog.writeConfig(file, {"MODE\tSPOT\n", "LEVEL\t12\n"}), 2);
    EXPECT_EQ(readAll(file), "MODE\tSPOT\n\nLEVEL\t12\n\n");
    std::list<std::string> lines{"kept\n"};
    EXPECT_EQ(dialog.readConfig(lines, file), 4);
    EXPECT_EQ(lines, (std::list<std::string>{"kept\n", "MODE\tSPOT\n", "\n", "LEVEL\t12\n", "\n"}));
}

TEST_F(ConfigDialogTest, LongLinesComeInPiecesOf1023) {
    const std::string file = path("long.cfg");
    std::ofstream(file) << std::string(2500, 'a') << "\nend";
    std::list<std::string> lines;
    EXPECT_EQ(dialog.readConfig(lines, file), 4);
    EXPECT_EQ(lines.front().size(), 1023u);
    EXPECT_EQ(lines.back(), "end");
    EXPECT_EQ(dialog.readConfig(lines, path("missing.cfg")), 0);
}

TEST_F(ConfigDialogTest, FailedWriteKeepsTheOldFileWhole) {
    const std::string file = path("prefs.cfg");
    ASSERT_EQ(dialog.writeConfig(file, {"A\t1\n"}), 1);
    ASSERT_EQ(dialog.writeConfig(file, {"B\t2\n", "C\t3\n"}), 2);
    EXPECT_EQ(readAll(file), "B\t2\n\nC\t3\n\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"prefs.cfg"});

    // A folder in the file's place cannot be replaced; nothing is left behind.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.cfg"));
    EXPECT_EQ(dialog.writeConfig(path("taken.cfg"), {"A\t1\n"}), 0);
    EXPECT_EQ(dialog.writeConfig(path("no-folder/prefs.cfg"), {"A\t1\n"}), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"prefs.cfg"});
}

TEST_F(ConfigDialogTest, WriteFailingPartWayKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string file = path("prefs.cfg");
    ASSERT_EQ(dialog.writeConfig(file, {"A\t1\n"}), 1);
    const std::list<std::string> many(40, "SOME_LONGER_SETTING\tvalue\n");
    int written = -1;
    {
        const uitest::FileSizeLimit limit(100);
        written = dialog.writeConfig(file, many);
    }
    EXPECT_EQ(written, 0);
    EXPECT_EQ(readAll(file), "A\t1\n\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"prefs.cfg"});
}

TEST_F(ConfigDialogTest, LinkedFilesAreWrittenThroughTheirLinks) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    std::ofstream(path("real/prefs.cfg")) << "old\n";
    ASSERT_EQ(symlink("real/prefs.cfg", path("prefs.cfg").c_str()), 0);
    // Two links in a row, the last one to a file that does not exist yet.
    ASSERT_EQ(symlink("real/next.cfg", path("next-link").c_str()), 0);
    ASSERT_EQ(symlink(path("next-link").c_str(), path("next.cfg").c_str()), 0);

    EXPECT_EQ(dialog.writeConfig(path("prefs.cfg"), {"A\t1\n"}), 1);
    EXPECT_EQ(dialog.writeConfig(path("next.cfg"), {"B\t2\n"}), 1);
    EXPECT_EQ(QFileInfo(dir.filePath("prefs.cfg")).symLinkTarget(), dir.filePath("real/prefs.cfg"));
    EXPECT_TRUE(QFileInfo(dir.filePath("next.cfg")).isSymLink());
    EXPECT_EQ(readAll(path("real/prefs.cfg")), "A\t1\n\n");
    EXPECT_EQ(readAll(path("real/next.cfg")), "B\t2\n\n");
    EXPECT_EQ(QDir(path("real").c_str()).entryList(QDir::Files),
              (QStringList{"next.cfg", "prefs.cfg"}));

    ASSERT_EQ(symlink("loop-b", path("loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", path("loop-b").c_str()), 0);
    EXPECT_EQ(dialog.writeConfig(path("loop-a"), {"A\t1\n"}), 0);
    EXPECT_TRUE(QFileInfo(dir.filePath("loop-a")).isSymLink());
}

TEST_F(ConfigDialogTest, ReadOnlyFileIsNotReplaced) {
    const std::string file = path("locked.cfg");
    std::ofstream(file) << "old\n";
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    // The super-user may write any file; the check runs as an ordinary user in a child.
    const bool asRoot = geteuid() == 0;
    ASSERT_EQ(chmod(dir.path().toUtf8().constData(), 0777), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = !asRoot || (setgid(65534) == 0 && setuid(65534) == 0);
        _exit(!dropped ? 2 : dialog.writeConfig(file, {"NEW\t1\n"}) == 0 ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readAll(file), "old\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"locked.cfg"});
}

TEST_F(ConfigDialogTest, LongestFileNamesCanBeReplaced) {
    const std::string name(NAME_MAX, 'n');
    const std::string file = path(name.c_str());
    ASSERT_EQ(dialog.writeConfig(file, {"A\t1\n"}), 1);
    ASSERT_EQ(dialog.writeConfig(file, {"B\t2\n"}), 1);
    EXPECT_EQ(readAll(file), "B\t2\n\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(ConfigDialogTest, SettingsTableRoundTrip) {
    uint8_t enabled = 1;
    int32_t level = 70000;
    double gain = 1.255;
    char name[81] = "Lab Scope";
    std::vector<kxui::ConfigTable::Entry> table{
        {"ENABLED", {&configDialog::getBOOL, &configDialog::putYES, &enabled}},
        {"LEVEL", {&configDialog::getUINT, &configDialog::putUINT, &level}},
        {"GAIN", {&configDialog::getDOUBLE, &configDialog::putDOUBLE, &gain}},
        {"NAME", {&configDialog::getSTRING, &configDialog::putSTRING, name}},
    };
    const std::string file = path("table.cfg");
    ASSERT_EQ(kxui::ConfigTable::save(dialog, table, file), 4);
    EXPECT_EQ(readAll(file), "ENABLED\tYES\n\nLEVEL\t70000\n\nGAIN\t1.255\n\nNAME\tLab Scope\n\n");

    enabled = 0;
    level = 0;
    gain = 0;
    name[0] = '\0';
    // "Lab Scope" holds a blank: only its first word comes back.
    EXPECT_EQ(kxui::ConfigTable::load(dialog, table, file), 4);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(level, 70000);
    EXPECT_EQ(gain, 1.255);
    EXPECT_STREQ(name, "Lab");

    std::ofstream(file) << "level 5\nLEVEL\nLEVEL   9 extra\n";
    EXPECT_EQ(kxui::ConfigTable::load(dialog, table, file), 1);
    EXPECT_EQ(level, 9);
}

TEST_F(ConfigDialogTest, FolderListingNamesFilesOnly) {
    uitest::WarningCatcher warnings;
    std::ofstream(path("b.cfg")) << "x";
    std::ofstream(path("a.cfg")) << "x";
    std::ofstream(path("\xC3\xBC.cfg")) << "x";
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    std::list<std::string> names;
    dialog.getConfigList(names, dir.path().toStdString());
    EXPECT_EQ(names, (std::list<std::string>{"a.cfg", "b.cfg", "\xC3\xBC.cfg"}));

    names.clear();
    dialog.getConfigList(names, path("sub"));
    dialog.getConfigList(names, path("missing"));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(warnings.texts.isEmpty());

    dialog.getConfigList(names, path("a.cfg"));
    ASSERT_EQ(warnings.texts.size(), 1);
    EXPECT_EQ(warnings.titles[0], "Preference Configuration");
    EXPECT_EQ(warnings.texts[0],
              QString("Invalid file handle for configuration <%1/a.cfg/*>. System errorcode is "
                      "<20>...")
                  .arg(dir.path()));
}

TEST_F(ConfigDialogTest, WideStringsFromUtf8) {
    EXPECT_EQ(dialog.str2ws("Gr\xC3\xBC\xC3\x9F"
                            "e"),
              L"Gr\u00FC\u00DFe");
    EXPECT_EQ(dialog.str2ws(""), L"");
}

}  // namespace
