// One file copied to a new name: whole or not at all, and never over a file that is there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "AtomicFileCopy.h"
#include "FolderFiles.h"
#include "TempDir.h"

using apptest::namesIn;
using apptest::readFile;
using apptest::writeFile;
using hv::AtomicFileCopy;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// A file in folder whose size is size, waited for up to two seconds.
bool fileOfSizeAppears(const fs::path& folder, std::uintmax_t size) {
    for (const auto end = Clock::now() + std::chrono::seconds(2); Clock::now() < end;) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (entry.is_regular_file(error) && entry.file_size(error) == size) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// The writing end of a named pipe, opened once a reader has it open (-1 after two seconds).
int openForWriting(const fs::path& pipe) {
    for (const auto end = Clock::now() + std::chrono::seconds(2); Clock::now() < end;) {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            return fd;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
}

}  // namespace

class AtomicFileCopyTest : public ::testing::Test {
protected:
    fs::path at(const std::string& name) const { return fs::path(m_dir.path()) / name; }

    TempDir m_dir;
    std::string m_why;
};

TEST_F(AtomicFileCopyTest, AFileOfManyChunksArrivesWholeInANewFolder) {
    std::string content(300 * 1024 + 7, '\0');
    std::mt19937 random(7);
    for (char& c : content) {
        c = static_cast<char>(random());
    }
    writeFile(at("source.bin"), content);
    EXPECT_EQ(AtomicFileCopy::copy(at("source.bin"), at("a/b/copy.bin"), m_why),
              AtomicFileCopy::Copied);
    EXPECT_EQ(readFile(at("a/b/copy.bin")), content);
    EXPECT_EQ(fs::status(at("a/b/copy.bin")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    EXPECT_EQ(namesIn(at("a")), (std::vector<std::string>{"b", "b/copy.bin"}));
}

TEST_F(AtomicFileCopyTest, WhatIsThereAlreadyIsLeftAlone) {
    writeFile(at("source.txt"), "shipped");
    writeFile(at("mine.txt"), "changed by the user");
    fs::create_directory(at("folder"));
    fs::create_symlink(at("nowhere"), at("link"));
    for (const char* name : {"mine.txt", "folder", "link"}) {
        EXPECT_EQ(AtomicFileCopy::copy(at("source.txt"), at(name), m_why), AtomicFileCopy::Present)
            << name;
    }
    EXPECT_EQ(readFile(at("mine.txt")), "changed by the user");
    EXPECT_TRUE(fs::is_empty(at("folder")));
    EXPECT_EQ(fs::read_symlink(at("link")), at("nowhere"));
    EXPECT_FALSE(fs::exists(at("nowhere")));
    EXPECT_EQ(namesIn(m_dir.path()),
              (std::vector<std::string>{"folder", "link", "mine.txt", "source.txt"}));
}

TEST_F(AtomicFileCopyTest, TheTargetAppearsOnlyWhenTheCopyIsWhole) {
    ASSERT_EQ(::mkfifo(at("source").c_str(), 0600), 0);
    const std::string first = "the first half, ";
    const std::string second = "and the rest";
    AtomicFileCopy::Result result = AtomicFileCopy::Present;
    std::thread copier([&] { result = AtomicFileCopy::copy(at("source"), at("out/copy"), m_why); });
    // Opening fails only when the copy does not read its source at all (it has then ended).
    const int pipe = openForWriting(at("source"));
    EXPECT_GE(pipe, 0);
    if (pipe >= 0) {
        EXPECT_EQ(::write(pipe, first.data(), first.size()), static_cast<ssize_t>(first.size()));
        // Half of it is written somewhere in the target's folder, not under the target's name.
        EXPECT_TRUE(fileOfSizeAppears(at("out"), first.size()));
        EXPECT_FALSE(fs::exists(at("out/copy")));
        EXPECT_EQ(::write(pipe, second.data(), second.size()), static_cast<ssize_t>(second.size()));
        ::close(pipe);
    }
    copier.join();
    EXPECT_EQ(result, AtomicFileCopy::Copied);
    EXPECT_EQ(readFile(at("out/copy")), first + second);
    EXPECT_EQ(namesIn(at("out")), std::vector<std::string>{"copy"});
}

TEST_F(AtomicFileCopyTest, ASourceThatCannotBeReadLeavesNothingBehind) {
    fs::create_directory(at("folder"));
    EXPECT_EQ(AtomicFileCopy::copy(at("missing"), at("out/copy"), m_why),
              AtomicFileCopy::SourceUnreadable);
    EXPECT_EQ(m_why, "No such file or directory");
    EXPECT_FALSE(fs::exists(at("out")));
    // A folder opens but cannot be read: the half-made copy goes again.
    EXPECT_EQ(AtomicFileCopy::copy(at("folder"), at("out/copy"), m_why),
              AtomicFileCopy::SourceUnreadable);
    EXPECT_EQ(m_why, "Is a directory");
    EXPECT_EQ(namesIn(at("out")), std::vector<std::string>{});
}
