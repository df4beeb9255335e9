// Harnview's root: which folder is chosen, how it is made and entered, and where the tree's paths
// lead.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FolderFiles.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "VelquinRoot.h"

using hv::VelquinRoot;
namespace fs = std::filesystem;

TEST(VelquinRootChoice, TheOptionComesFirstThenVelquinRootThenHome) {
    ScopedEnv root("VELQUIN_ROOT", "/srv/velquin");
    ScopedEnv home("HOME", "/home/ann");
    EXPECT_EQ(VelquinRoot::choose("/opt/scope"), fs::path("/opt/scope"));
    EXPECT_EQ(VelquinRoot::choose(""), fs::path("/srv/velquin"));
    {
        ScopedEnv noRoot("VELQUIN_ROOT", nullptr);
        EXPECT_EQ(VelquinRoot::choose(""), fs::path("/home/ann/Velquin"));
    }
    {
        ScopedEnv emptyRoot("VELQUIN_ROOT", "");
        EXPECT_EQ(VelquinRoot::choose(""), fs::path("/home/ann/Velquin"));
    }
}

TEST(VelquinRootChoice, RelativeFoldersAreTakenFromTheCurrentFolder) {
    TempDir dir;
    ScopedEnv root("VELQUIN_ROOT", "env/../velquin");
    EXPECT_EQ(VelquinRoot::choose("scope/./root"), fs::path(dir.path()) / "scope" / "root");
    EXPECT_EQ(VelquinRoot::choose(""), fs::path(dir.path()) / "velquin");
}

TEST(VelquinRootChoice, WithoutOptionVelquinRootAndHomeThereIsNoRoot) {
    ScopedEnv root("VELQUIN_ROOT", nullptr);
    ScopedEnv home("HOME", nullptr);
    EXPECT_EQ(VelquinRoot::choose(""), fs::path());
    std::string why;
    EXPECT_FALSE(VelquinRoot::enter(VelquinRoot::choose(""), why));
    EXPECT_EQ(why, "no folder to work in: give --root DIR or set VELQUIN_ROOT or HOME");
}

class VelquinRootEnter : public ::testing::Test {
protected:
    TempDir m_dir;
    ScopedEnv m_root{"VELQUIN_ROOT", nullptr};
    ScopedEnv m_home{"HOME", "/home/ann"};
};

TEST_F(VelquinRootEnter, ANestedRootIsMadeEnteredAndBecomesTheRoot) {
    const fs::path folder = fs::path(m_dir.path()) / "a" / "b" / "Velquin";
    std::string why;
    ASSERT_TRUE(VelquinRoot::enter(folder, why)) << why;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(fs::current_path(), folder);
    EXPECT_EQ(VelquinRoot::folder(), folder);
    EXPECT_EQ(VelquinRoot::path("Config/Gamma/Lookup1024_0.txt").toStdString(),
              (folder / "Config/Gamma/Lookup1024_0.txt").string());
}

TEST_F(VelquinRootEnter, ARootThatCannotBeMadeIsAClearErrorAndChangesNothing) {
    apptest::writeFile(fs::path(m_dir.path()) / "file", "not a folder");
    for (const fs::path& folder :
         {fs::path(m_dir.path()) / "file" / "Velquin", fs::path(m_dir.path()) / "file"}) {
        std::string why;
        EXPECT_FALSE(VelquinRoot::enter(folder, why));
        EXPECT_EQ(why, "cannot create the folder " + folder.string() + ": Not a directory");
        EXPECT_EQ(fs::current_path(), fs::path(m_dir.path()));
        EXPECT_EQ(VelquinRoot::folder(), fs::path("/home/ann/Velquin"));
    }
    EXPECT_EQ(apptest::readFile(fs::path(m_dir.path()) / "file"), "not a folder");
}

TEST(VelquinRootPath, TheTreeLiesUnderTheRootInUse) {
    ScopedEnv home("HOME", "/home/ann");
    {
        ScopedEnv root("VELQUIN_ROOT", "/srv/velquin");
        EXPECT_EQ(VelquinRoot::path("Config/Gamma/Lookup1024_3.txt"),
                  "/srv/velquin/Config/Gamma/Lookup1024_3.txt");
    }
    ScopedEnv root("VELQUIN_ROOT", nullptr);
    EXPECT_EQ(VelquinRoot::path("Config/Gamma/Lookup1024_0.txt"),
              "/home/ann/Velquin/Config/Gamma/Lookup1024_0.txt");
    EXPECT_EQ(VelquinRoot::path("ImageData/default"), "/home/ann/Velquin/ImageData/default");
}
