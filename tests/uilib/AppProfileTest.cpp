// Profile files: reading a folder list, its warnings, writing it back with a ".bak" copy, and
// the bounded most-recent list of a section.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "AppProfile.h"
#include "FileSizeLimit.h"
#include "WarningCatcher.h"

namespace {

class AppProfileTest : public testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    std::string write(const char* name, const std::string& content) const {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }
    std::string read(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    QStringList keys(AppProfile& profile) {
        QStringList list;
        profile.getSectionItems(list, "[FOLDER LIST]");
        return list;
    }

    QTemporaryDir dir;
    uitest::WarningCatcher warnings;
};

TEST_F(AppProfileTest, ReadsOneSectionInFileOrder) {
    const std::string file = write("recent",
                                   "ignored before\n[FOLDER LIST]\n/data/b\tB\n\n \t \n/data/a\n"
                                   "/data/c\tC\tD\r\n[END]\nignored after\n");
    AppProfile profile(file.c_str());
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    ASSERT_EQ(profile.getProfileSections()->size(), 1);
    const ProfileSection& section = profile.getProfileSections()->front();
    EXPECT_EQ(section.getSectionRead(), 3);
    EXPECT_EQ(section.getSectionTail(), "[END]");
    EXPECT_EQ(section.getItemValFromSectionList("/data/c"), "C\tD");
    EXPECT_EQ(section.getItemValFromSectionList("/data/a"), "");
    EXPECT_EQ(keys(profile), (QStringList{"/data/b", "/data/a", "/data/c"}));
    EXPECT_EQ(sections.size(), 1);
    EXPECT_TRUE(warnings.texts.isEmpty());
    QStringList none;
    EXPECT_FALSE(profile.getSectionItems(none, "[OTHER]"));
}

TEST_F(AppProfileTest, ReadingWarnings) {
    AppProfile tailFirst(write("tail", "[END]\n[FOLDER LIST]\na\n[END]\n").c_str());
    QList<ProfileSection> sections;
    EXPECT_FALSE(tailFirst.readProfile(sections));
    AppProfile twoHeads(write("heads", "[FOLDER LIST]\na\n[END]\n[FOLDER LIST]\n").c_str());
    EXPECT_FALSE(twoHeads.readProfile(sections));
    EXPECT_TRUE(twoHeads.getProfileSections()->isEmpty());
    AppProfile missing(path("missing").c_str());
    EXPECT_FALSE(missing.readProfile(sections));

    EXPECT_EQ(warnings.titles,
              (QStringList{"READING PROFILE SECTION [END]", "READING PROFILE SECTION [FOLDER LIST]",
                           QString("OPENING PROFILE %1").arg(path("missing").c_str())}));
    EXPECT_EQ(warnings.texts[0],
              "ERROR:: Section Tail Terminated Without Section Head <state = 0, head = "
              "[FOLDER LIST], tail = [END]");
    EXPECT_EQ(warnings.texts[1], "ERROR:: Duplicated Section Head <state = <2>");
    EXPECT_EQ(warnings.texts[2], "ERROR:: Fail to open profile <state = <4>");
}

TEST_F(AppProfileTest, FullSectionDropsItsOldestItem) {
    AppProfile profile(write("recent", "[FOLDER LIST]\n[END]\n").c_str());
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    for (int i = 1; i <= 17; ++i) {
        ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", std::to_string(i).c_str(), "v"));
    }
    EXPECT_FALSE(profile.insertSectionItem("[FOLDER LIST]", "9", "changed"));
    EXPECT_FALSE(profile.insertSectionItem("[NO SUCH]", "x", "v"));
    const ProfileSection& section = profile.getProfileSections()->front();
    EXPECT_EQ(section.getItemSize(), 16);
    EXPECT_EQ(section.getItemValFromSectionList("9"), "v");
    const QStringList list = keys(profile);
    EXPECT_EQ(list.front(), "17");  // newest first
    EXPECT_EQ(list.back(), "2");    // "1" went
}

TEST_F(AppProfileTest, WriteThenReadGivesTheSameListAndKeepsABackup) {
    const std::string original = "[FOLDER LIST]\n/b\tB\n/a\tA\n[END]\n";
    const std::string file = write("recent", original);
    AppProfile profile(file.c_str());
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "/\xC3\xA4", "\xC3\x84"));
    ASSERT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(file), "[FOLDER LIST]\n/\xC3\xA4\t\xC3\x84\n/b\tB\n/a\tA\n[END]\n");
    EXPECT_EQ(read(file + ".bak"), original);

    AppProfile again(file.c_str());
    ASSERT_TRUE(again.readProfile(sections));
    EXPECT_EQ(keys(again), (QStringList{QString::fromUtf8("/\xC3\xA4"), "/b", "/a"}));
}

TEST_F(AppProfileTest, FailedWriteRestoresThePreviousFile) {
    const std::string original = "[FOLDER LIST]\na\t1\n[END]\n";
    const std::string file = write("recent", original);
    AppProfile profile(file.c_str());
    profile.setTraceLevel(1);
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    ProfileSection big = sections.front();
    for (int i = 0; i < 16; ++i) {
        big.pushItemToSectionBack(QString("/a/long/folder/name/%1").arg(i), "value");
    }
    bool written = true;
    {
        const uitest::FileSizeLimit limit(100);
        written = profile.writeProfile({big});
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(read(file), original);
    EXPECT_FALSE(warnings.texts.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"recent"});
}

TEST_F(AppProfileTest, CrashDuringARewriteLeavesTheFileWhole) {
    const std::string original = "[FOLDER LIST]\na\t1\n[END]\n";
    const std::string file = write("recent", original);
    QList<ProfileSection> sections;
    AppProfile profile(file.c_str());
    ASSERT_TRUE(profile.readProfile(sections));
    ProfileSection big = sections.front();
    for (int i = 0; i < 16; ++i) {
        big.pushItemToSectionBack(QString("/a/long/folder/name/%1").arg(i), "value");
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Writing past 100 bytes kills the child as a crash would.
        const rlimit small{100, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &small);
        profile.writeProfile({big});
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(read(file), original);
    AppProfile again(file.c_str());
    ASSERT_TRUE(again.readProfile(sections));
    EXPECT_EQ(keys(again), QStringList{"a"});
}

TEST_F(AppProfileTest, LinkedProfileStaysALink) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("shared"));
    const std::string real = write("shared/recent", "[FOLDER LIST]\na\t1\n[END]\n");
    ASSERT_EQ(symlink("shared/recent", path("recent").c_str()), 0);
    AppProfile profile(path("recent").c_str());
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "b", "2"));
    ASSERT_TRUE(profile.closeProfile());
    EXPECT_TRUE(QFileInfo(dir.filePath("recent")).isSymLink());
    EXPECT_EQ(read(real), "[FOLDER LIST]\nb\t2\na\t1\n[END]\n");
    EXPECT_EQ(read(real + ".bak"), "[FOLDER LIST]\na\t1\n[END]\n");
}

TEST_F(AppProfileTest, NewProfileHoldsOnlyItsOwnSection) {
    AppProfile profile(write("first", "[FOLDER LIST]\n/a\tA\n/b\tB\n[END]\n").c_str());
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    const std::string second = path("second");
    ASSERT_TRUE(profile.openProfile(second.c_str()));
    EXPECT_EQ(read(second), "[FOLDER LIST]\n[END]\n");
    ASSERT_EQ(profile.getProfileSections()->size(), 1);
    EXPECT_EQ(profile.getProfileSections()->front().getItemSize(), 0);
    ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "/c", "C"));
    ASSERT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(second), "[FOLDER LIST]\n/c\tC\n[END]\n");

    AppProfile again(second.c_str());
    ASSERT_TRUE(again.readProfile(sections));
    EXPECT_EQ(keys(again), QStringList{"/c"});
    EXPECT_TRUE(warnings.texts.isEmpty());
}

TEST_F(AppProfileTest, OpenAndCloseWithoutReadingKeepsTheFile) {
    const std::string original = "[FOLDER LIST]\n/a\tA\n[END]\n";
    const std::string file = write("recent", original);
    {
        AppProfile profile(file.c_str());
        ASSERT_TRUE(profile.openProfile(nullptr));
        EXPECT_TRUE(profile.closeProfile());
        EXPECT_FALSE(profile.is_open());
    }
    EXPECT_EQ(read(file), original);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file + ".bak")));

    // The next rewrite keeps the real content as its copy.
    AppProfile profile(file.c_str());
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "/b", "B"));
    ASSERT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(file + ".bak"), original);
    EXPECT_EQ(read(file), "[FOLDER LIST]\n/b\tB\n/a\tA\n[END]\n");
}

TEST_F(AppProfileTest, OpenCreatesAMissingProfile) {
    const std::string file = path("new-profile");
    AppProfile profile(file.c_str());
    ASSERT_TRUE(profile.openProfile(nullptr));
    EXPECT_EQ(read(file), "[FOLDER LIST]\n[END]\n");
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    EXPECT_EQ(profile.getProfileSections()->size(), 1);
    ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "/x", "X"));
    ASSERT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(file), "[FOLDER LIST]\n/x\tX\n[END]\n");

    AppProfile unnamed;
    EXPECT_FALSE(unnamed.isNullRegisterFilename());
    AppProfile empty("");
    EXPECT_TRUE(empty.isNullRegisterFilename());
    EXPECT_FALSE(profile.createProfile(path("no-folder/profile").c_str()));
    EXPECT_EQ(warnings.titles.back(),
              QString("CREATE PROFILE %1").arg(path("no-folder/profile").c_str()));
}

// What a profile writes back comes from the file it writes: never another file's items, and
// nothing over a file that did not read whole.
TEST_F(AppProfileTest, OpeningAnotherProfileLeavesTheFirstOnesItemsBehind) {
    const std::string other = "[FOLDER LIST]\n/x\tX\n[END]\n";
    AppProfile profile(write("first", "[FOLDER LIST]\n/a\tA\n/b\tB\n[END]\n").c_str());
    const std::string second = write("second", other);
    QList<ProfileSection> sections;
    ASSERT_TRUE(profile.readProfile(sections));
    ASSERT_TRUE(profile.openProfile(second.c_str()));
    EXPECT_TRUE(keys(profile).isEmpty());
    EXPECT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(second), other);

    ASSERT_TRUE(profile.openProfile(second.c_str()));
    ASSERT_TRUE(profile.readProfile(sections));
    ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "/y", "Y"));
    ASSERT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(second), "[FOLDER LIST]\n/y\tY\n/x\tX\n[END]\n");
    EXPECT_TRUE(warnings.texts.isEmpty());
}

TEST_F(AppProfileTest, ReadingAnotherFileReadsThatFileAndWritesNeither) {
    const std::string mine = "[FOLDER LIST]\n/a\tA\n[END]\n";
    const std::string theirs = "[FOLDER LIST]\n/x\tX\n/y\tY\n[END]\n";
    const std::string file = write("mine", mine);
    const std::string other = write("theirs", theirs);
    AppProfile profile(file.c_str());
    // Read with the stored file open, and without.
    for (const bool opened : {true, false}) {
        ASSERT_TRUE(!opened || profile.openProfile(nullptr));
        QList<ProfileSection> sections;
        ASSERT_TRUE(profile.readProfile(sections, other.c_str()));
        ASSERT_EQ(sections.size(), 1);
        EXPECT_EQ(sections.front().getItemValFromSectionList("/y"), "Y");
        EXPECT_EQ(keys(profile), (QStringList{"/x", "/y"}));
        ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "/z", "Z"));
        EXPECT_TRUE(profile.closeProfile());
        EXPECT_EQ(read(file), mine);
        EXPECT_EQ(read(other), theirs);
    }
}

TEST_F(AppProfileTest, FileThatDoesNotReadWholeIsNeverRewritten) {
    const std::string unfinished = "[FOLDER LIST]\n/a\tA\n";
    const std::string file = write("recent", unfinished);
    AppProfile profile(file.c_str());
    QList<ProfileSection> sections;
    EXPECT_FALSE(profile.readProfile(sections));
    EXPECT_EQ(warnings.titles, QStringList{"READING PROFILE SECTION [END]"});
    EXPECT_EQ(warnings.texts,
              QStringList{"ERROR:: Section Head Without Section Tail <state = <1>"});
    EXPECT_TRUE(profile.getProfileSections()->isEmpty());
    EXPECT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(file), unfinished);

    // Sections read before the file was spoilt stay in memory but no longer go to it.
    write("recent", "[FOLDER LIST]\n/a\tA\n[END]\n");
    ASSERT_TRUE(profile.readProfile(sections));
    ASSERT_TRUE(profile.insertSectionItem("[FOLDER LIST]", "/b", "B"));
    const std::string spoilt = "[END]\n[FOLDER LIST]\n/a\tA\n[END]\n";
    write("recent", spoilt);
    EXPECT_FALSE(profile.readProfile(sections));
    EXPECT_EQ(profile.getProfileSections()->size(), 1);
    EXPECT_TRUE(profile.closeProfile());
    EXPECT_EQ(read(file), spoilt);
}

TEST(ProfileSection, ListEditing) {
    ProfileSection section(3);
    section.pushItemToSectionBack("b", "2");
    section.pushItemToSectionFront("a", "1");
    EXPECT_EQ(section.insertItemToSectionList("b", "x", "9"), "x");
    EXPECT_EQ(section.getItemSize(), 3);
    // Full: the inserted item stays and the last one goes.
    EXPECT_EQ(section.insertItemToSectionList("x", "y", "8"), "y");
    EXPECT_EQ(section.getItemValFromSectionList("b"), "");
    // An absent anchor changes nothing.
    EXPECT_EQ(section.insertItemToSectionList("zz", "q", "0"), "");
    EXPECT_EQ(section.getItemSize(), 3);
    EXPECT_EQ(section.setItemValToSectionList("y", "7"), "y");
    EXPECT_EQ(section.getItemValFromSectionList("y"), "7");
    EXPECT_EQ(section.removeItemFromSectionList("a"), "a");
    EXPECT_EQ(section.removeItemFromSectionList("a"), "");
    section.popItemFromSectionFront();
    section.popItemFromSectionBack();
    section.popItemFromSectionBack();
    EXPECT_EQ(section.getItemSize(), 0);
}

TEST(ProfileSection, FullSectionKeepsAnAnchorThatIsItsLastItem) {
    ProfileSection section(3);
    for (const char* key : {"a", "b", "c"}) {
        section.pushItemToSectionBack(key, QString(key).toUpper());
    }
    EXPECT_EQ(section.insertItemToSectionList("c", "x", "X"), "x");
    QStringList order;
    for (const auto& item : section.items()) {
        order << item.first;
    }
    EXPECT_EQ(order, (QStringList{"a", "x", "c"}));
    EXPECT_EQ(section.getItemValFromSectionList("c"), "C");

    // A section of one item has no room for a second beside its anchor.
    ProfileSection single(1);
    single.pushItemToSectionBack("a", "A");
    EXPECT_EQ(single.insertItemToSectionList("a", "x", "X"), "");
    EXPECT_EQ(single.getItemSize(), 1);
    EXPECT_EQ(single.getItemValFromSectionList("a"), "A");
}

}  // namespace
