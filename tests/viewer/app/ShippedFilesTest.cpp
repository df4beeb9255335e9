// The shipped files Harnview adds to its root: which ones, from where, that a file present is
// kept, and what it says about it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "FolderFiles.h"
#include "ShippedFiles.h"
#include "TempDir.h"

using apptest::namesIn;
using apptest::readFile;
using apptest::writeFile;
using hv::ShippedFiles;
namespace fs = std::filesystem;

namespace {

// How many files one addMissing added and what it wrote on its error stream.
struct Added {
    int count;
    std::string report;
};

Added addMissing(const ShippedFiles& files, const fs::path& root) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* err = ::open_memstream(&text, &size);
    const int count = files.addMissing(root, err);
    std::fclose(err);
    Added added{count, std::string(text, size)};
    std::free(text);
    return added;
}

// Each shipped file of the test's data and picture folders: its name in the root, its content.
const std::vector<std::pair<std::string, std::string>> kShipped = {
    {"reg_init.txt", "0x3C 0x61 0x01\n"},         {"firmware/default.bit", "bitstream"},
    {"firmware/default.hex", ":00000001FF\n"},    {"firmware/default.iic", "boot image"},
    {"firmware/default.mcs", "flash image"},      {"Config/Gamma/Lookup1024_0.txt", "gamma 0"},
    {"Config/Gamma/Lookup1024_7.txt", "gamma 7"}, {"Nelvoralogo.png", "logo"},
    {"NV Logo - Help UI.png", "help logo"},
};

}  // namespace

class ShippedFilesAdd : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, content] : kShipped) {
            writeFile(source(name), content);
        }
        // Files beside them that are not shipped into the root.
        writeFile(m_data / "firmware/fpga_1_20.bit", "older bitstream");
        writeFile(m_data / "gamma/notes.txt", "how the tables were made");
        writeFile(m_pictures / "other.png", "another picture");
        fs::create_directory(m_root);
    }

    // Where the test keeps the shipped copy of a file named name in the root.
    fs::path source(const std::string& name) const {
        const std::string gamma = "Config/Gamma/";
        if (name.rfind(gamma, 0) == 0) {
            return m_data / "gamma" / name.substr(gamma.size());
        }
        return name.find(".png") != std::string::npos ? m_pictures / name : m_data / name;
    }

    std::string added(const std::string& names) const {
        return "Harnview: added to " + m_root.string() + ": " + names + "\n";
    }

    TempDir m_dir;
    fs::path m_data = fs::path(m_dir.path()) / "share/data";
    fs::path m_pictures = fs::path(m_dir.path()) / "share/pictures";
    fs::path m_root = fs::path(m_dir.path()) / "Velquin";
    ShippedFiles m_files{m_data, m_pictures};
};

TEST_F(ShippedFilesAdd, EveryMissingFileIsAddedWithItsContentAndNamedInOneLine) {
    const Added result = addMissing(m_files, m_root);
    EXPECT_EQ(result.count, 9);
    EXPECT_EQ(result.report,
              added("reg_init.txt, firmware/default.bit, firmware/default.hex, "
                    "firmware/default.iic, firmware/default.mcs, Config/Gamma/Lookup1024_0.txt, "
                    "Config/Gamma/Lookup1024_7.txt, Nelvoralogo.png, NV Logo - Help UI.png"));
    for (const auto& [name, content] : kShipped) {
        EXPECT_EQ(readFile(m_root / name), content) << name;
    }
    EXPECT_EQ(namesIn(m_root),
              (std::vector<std::string>{"Config", "Config/Gamma", "Config/Gamma/Lookup1024_0.txt",
                                        "Config/Gamma/Lookup1024_7.txt", "NV Logo - Help UI.png",
                                        "Nelvoralogo.png", "firmware", "firmware/default.bit",
                                        "firmware/default.hex", "firmware/default.iic",
                                        "firmware/default.mcs", "reg_init.txt"}));
}

TEST_F(ShippedFilesAdd, FilesPresentAreKeptAndASecondStartAddsAndSaysNothing) {
    writeFile(m_root / "reg_init.txt", "the user's registers");
    writeFile(m_root / "Config/Gamma/Lookup1024_7.txt", "a tuned table");
    writeFile(m_root / "Nelvoralogo.png", "");
    const Added first = addMissing(m_files, m_root);
    EXPECT_EQ(first.count, 6);
    EXPECT_EQ(first.report,
              added("firmware/default.bit, firmware/default.hex, firmware/default.iic, "
                    "firmware/default.mcs, Config/Gamma/Lookup1024_0.txt, NV Logo - Help UI.png"));
    EXPECT_EQ(readFile(m_root / "reg_init.txt"), "the user's registers");
    EXPECT_EQ(readFile(m_root / "Config/Gamma/Lookup1024_7.txt"), "a tuned table");
    EXPECT_EQ(readFile(m_root / "Nelvoralogo.png"), "");

    writeFile(m_data / "firmware/default.bit", "a newer bitstream");
    fs::remove(source("reg_init.txt"));
    const Added second = addMissing(m_files, m_root);
    EXPECT_EQ(second.count, 0);
    EXPECT_EQ(second.report, "");
    EXPECT_EQ(readFile(m_root / "firmware/default.bit"), "bitstream");
}

TEST_F(ShippedFilesAdd, ASourceThatCannotBeReadIsReportedAndTheOthersStillGo) {
    fs::remove(source("firmware/default.iic"));
    fs::remove(source("Nelvoralogo.png"));
    const Added result = addMissing(m_files, m_root);
    EXPECT_EQ(result.count, 7);
    EXPECT_EQ(result.report,
              "Harnview: cannot read the shipped file " + source("firmware/default.iic").string() +
                  ": No such file or directory\n"
                  "Harnview: cannot read the shipped file " +
                  source("Nelvoralogo.png").string() + ": No such file or directory\n" +
                  added("reg_init.txt, firmware/default.bit, firmware/default.hex, "
                        "firmware/default.mcs, Config/Gamma/Lookup1024_0.txt, "
                        "Config/Gamma/Lookup1024_7.txt, NV Logo - Help UI.png"));
    EXPECT_FALSE(fs::exists(m_root / "firmware/default.iic"));
    EXPECT_FALSE(fs::exists(m_root / "Nelvoralogo.png"));
    EXPECT_EQ(readFile(m_root / "firmware/default.mcs"), "flash image");
}

TEST_F(ShippedFilesAdd, AMissingGammaFolderIsReportedOnce) {
    fs::remove_all(m_data / "gamma");
    const Added result = addMissing(m_files, m_root);
    EXPECT_EQ(result.count, 7);
    EXPECT_EQ(result.report, "Harnview: cannot read the shipped folder " +
                                 (m_data / "gamma").string() + ": No such file or directory\n" +
                                 added("reg_init.txt, firmware/default.bit, firmware/default.hex, "
                                       "firmware/default.iic, firmware/default.mcs, "
                                       "Nelvoralogo.png, NV Logo - Help UI.png"));
    EXPECT_FALSE(fs::exists(m_root / "Config"));
}

TEST_F(ShippedFilesAdd, AFolderOfTheRootThatCannotBeMadeFailsOnlyItsFiles) {
    writeFile(m_root / "firmware", "a file where the folder belongs");
    const Added result = addMissing(m_files, m_root);
    EXPECT_EQ(result.count, 5);
    std::string expected;
    for (const char* name : {"default.bit", "default.hex", "default.iic", "default.mcs"}) {
        expected +=
            "Harnview: cannot add " + (m_root / "firmware" / name).string() + ": Not a directory\n";
    }
    expected += added(
        "reg_init.txt, Config/Gamma/Lookup1024_0.txt, Config/Gamma/Lookup1024_7.txt, "
        "Nelvoralogo.png, NV Logo - Help UI.png");
    EXPECT_EQ(result.report, expected);
    EXPECT_EQ(readFile(m_root / "firmware"), "a file where the folder belongs");
}

TEST(ShippedFilesLocation, AnInstalledProgramTakesThemFromItsShareFolder) {
    TempDir dir;
    const fs::path installed = fs::path(dir.path()) / "usr/share/kxcx";
    fs::create_directories(installed);
    const fs::path program = fs::path(dir.path()) / "usr/bin/Harnview";
    writeFile(program, "the program");
    const ShippedFiles files = ShippedFiles::forProgram(program);
    EXPECT_EQ(files.dataFolder(), installed);
    EXPECT_EQ(files.pictureFolder(), installed);
}

TEST(ShippedFilesLocation, AProgramOfTheBuildTreeAddsTheRepositorysFilesAndTheDrawnLogos) {
    TempDir dir;
    const ShippedFiles files = ShippedFiles::forProgram(fs::path(dir.path()) / "bin/Harnview");
    EXPECT_EQ(files.pictureFolder(), fs::path(HARNVIEW_WORKING_PICTURE_DIR));
    const fs::path root = fs::path(dir.path()) / "Velquin";
    const Added result = addMissing(files, root);
    EXPECT_GE(result.count, 11);
    EXPECT_EQ(result.report.find("cannot"), std::string::npos) << result.report;
    EXPECT_EQ(readFile(root / "reg_init.txt"), readFile(files.dataFolder() / "reg_init.txt"));
    EXPECT_EQ(readFile(root / "Config/Gamma/Lookup1024_2.txt"),
              readFile(files.dataFolder() / "gamma/Lookup1024_2.txt"));
    EXPECT_EQ(readFile(root / "NV Logo - Help UI.png"),
              readFile(files.pictureFolder() / "NV Logo - Help UI.png"));
    for (const char* name :
         {"reg_init.txt", "firmware/default.bit", "firmware/default.hex", "firmware/default.iic",
          "firmware/default.mcs", "Config/Gamma/Lookup1024_0.txt", "Config/Gamma/Lookup1024_1.txt",
          "Config/Gamma/Lookup1024_2.txt", "Config/Gamma/Lookup1024_3.txt", "Nelvoralogo.png",
          "NV Logo - Help UI.png"}) {
        EXPECT_TRUE(fs::is_regular_file(root / name)) << name;
    }
}
