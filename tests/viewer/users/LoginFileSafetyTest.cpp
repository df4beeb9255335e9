// The account file under failures and concurrency: rewrites are atomic, files private, and two
// processes changing the store at once lose nothing.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include "LoginRewrite.h"
#include "LoginStore.h"
#include "LoginTestFiles.h"
#include "TempDir.h"

using namespace hv;
using namespace logintest;

namespace {

// What the temporary file was when the store renamed it.
struct RenameSeen {
    int mode = -1;
    std::string content;
};
RenameSeen seen;

int failingRename(const char*, const char*) {
    errno = EBUSY;
    return -1;
}

int watchingRename(const char* from, const char* to) {
    seen.mode = modeOf(from);
    std::FILE* in = std::fopen(from, "rb");
    if (in != nullptr) {
        char buffer[512];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
            seen.content.append(buffer, n);
        }
        std::fclose(in);
    }
    return std::rename(from, to);
}

class RenameReplaced {
public:
    explicit RenameReplaced(LoginRewrite::RenameFunction rename)
        : m_previous(LoginRewrite::setRenameFunction(rename)) {}
    ~RenameReplaced() { LoginRewrite::setRenameFunction(m_previous); }

private:
    LoginRewrite::RenameFunction m_previous;
};

// Runs work in a child process and gives back the int it returns (-1000 when the child died).
int inChild(const std::function<int()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return -1000;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const int result = work();
        const ssize_t written = ::write(channel[1], &result, sizeof result);
        ::_exit(written == sizeof result ? 0 : 1);
    }
    ::close(channel[1]);
    int result = -1000;
    if (::read(channel[0], &result, sizeof result) != sizeof result) {
        result = -1000;
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

// Writes beyond the size fail (EFBIG), for the calling process and whoever it is, root too.
void limitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace

class LoginFileSafety : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(LoginFileSafety, AFailedRenameKeepsTheOldFileAndNoTemporary) {
    const std::string before = joined({kAdminLine, kBobSupportLine}, "\n");
    writeFile(kFile, before);
    const RenameReplaced failing(&failingRename);
    EXPECT_EQ(removeLoginUser(kFile, "Bob", nullptr, nullptr), kLoginCannotMove);
    EXPECT_EQ(m_dir.read(kFile), before);
    EXPECT_FALSE(exists(kTemporary));
}

TEST_F(LoginFileSafety, TheTemporaryIsPrivateAndCompleteWhenRenamed) {
    writeFile(kFile, joined({kAdminLine, kBobSupportLine, kShortOperatorLine}));
    ::chmod(kFile, 0644);
    seen = {};
    const RenameReplaced watching(&watchingRename);
    ASSERT_EQ(removeLoginUser(kFile, "Bob", "hunter22", "Support"), 1);
    EXPECT_EQ(seen.mode, 0600);
    EXPECT_EQ(seen.content, joined({kAdminLine, kShortOperatorLine}));
    EXPECT_EQ(modeOf(kFile), 0600);
    EXPECT_FALSE(exists(kTemporary));
}

TEST_F(LoginFileSafety, ANewFileIsPrivateWhateverTheUmask) {
    const mode_t previous = ::umask(0);
    const int result = addLoginUser(kFile, "admin", "secret", "Admin");
    ::umask(previous);
    ASSERT_EQ(result, 2);
    EXPECT_EQ(modeOf(kFile), 0600);
}

TEST_F(LoginFileSafety, ALeftOverTemporaryIsReplaced) {
    writeFile(kFile, joined({kAdminLine, kBobSupportLine}));
    writeFile(kTemporary, std::string(kShortOperatorLine) + "\r\nleft over");
    ::chmod(kTemporary, 0666);
    ASSERT_EQ(removeLoginUser(kFile, "admin", nullptr, nullptr), 0);
    EXPECT_EQ(m_dir.read(kFile), joined({kBobSupportLine}));
    EXPECT_EQ(modeOf(kFile), 0600);
    EXPECT_FALSE(exists(kTemporary));
}

TEST_F(LoginFileSafety, ATemporaryThatCannotBeWrittenKeepsTheOldFile) {
    const std::string before = joined({kAdminLine, kBobSupportLine, kLongOperatorLine,
                                       kShortOperatorLine, lineOf("Bobby", "hunter22", 2)});
    writeFile(kFile, before);
    const int result = inChild([] {
        limitFileSize(100);
        return removeLoginUser(kFile, "Bobby", nullptr, nullptr);
    });
    EXPECT_EQ(result, kLoginCannotDelete);
    EXPECT_EQ(m_dir.read(kFile), before);
    EXPECT_FALSE(exists(kTemporary));
}

TEST_F(LoginFileSafety, ALineThatCannotBeAppendedWholeIsTakenBack) {
    const std::string before = joined({kAdminLine});
    writeFile(kFile, before);
    const int result = inChild([&] {
        limitFileSize(before.size() + 40);
        return addLoginUser(kFile, "Bob", "hunter22", "Support");
    });
    EXPECT_EQ(result, kLoginCannotClose);
    EXPECT_EQ(m_dir.read(kFile), before);
}

TEST_F(LoginFileSafety, TwoProcessesChangingTheStoreAtOnceLoseNoAccount) {
    // One process appends; the other appends and also removes, so that the file is replaced
    // under the first one again and again.
    constexpr int kAccounts = 40;
    auto name = [](char prefix, int k) {
        return std::string(1, prefix) + "user" + std::to_string(k);
    };
    const pid_t adder = ::fork();
    if (adder == 0) {
        int failures = 0;
        for (int k = 0; k < kAccounts; ++k) {
            failures += addLoginUser(kFile, name('a', k).c_str(), "secret", "Operator") != 0;
        }
        ::_exit(failures);
    }
    const pid_t replacer = ::fork();
    if (replacer == 0) {
        int failures = 0;
        for (int k = 0; k < kAccounts; ++k) {
            failures += addLoginUser(kFile, name('b', k).c_str(), "secret", "Support") != 1;
            failures += addLoginUser(kFile, "passing", "secret", "Admin") != 2;
            failures += removeLoginUser(kFile, "passing", nullptr, nullptr) != 0;
        }
        ::_exit(failures);
    }
    int adderStatus = -1;
    int replacerStatus = -1;
    ::waitpid(adder, &adderStatus, 0);
    ::waitpid(replacer, &replacerStatus, 0);
    EXPECT_EQ(adderStatus, 0);
    EXPECT_EQ(replacerStatus, 0);

    for (int k = 0; k < kAccounts; ++k) {
        EXPECT_EQ(verifyLogin(kFile, name('a', k).c_str(), "secret"), 0) << k;
        EXPECT_EQ(verifyLogin(kFile, name('b', k).c_str(), "secret"), 1) << k;
    }
    EXPECT_EQ(verifyLogin(kFile, "passing", "secret"), kLoginNoMatch);
    EXPECT_EQ(m_dir.read(kFile).size(), 2u * kAccounts * 82);
    EXPECT_FALSE(exists(kTemporary));
}
