// Harnview --add-user: the password from a pipe or a terminal, the account it writes and the
// texts and exit codes it gives.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "AddUserCommand.h"
#include "LoginStore.h"
#include "LoginTestFiles.h"
#include "TempDir.h"

using namespace hv;
using namespace logintest;

namespace {

// A stream whose content goes to the test afterwards.
class Capture {
public:
    Capture() : m_file(std::tmpfile()) {}
    ~Capture() { std::fclose(m_file); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::FILE* file() const { return m_file; }
    std::string text() const {
        std::fflush(m_file);
        std::rewind(m_file);
        std::string content;
        for (int c; (c = std::fgetc(m_file)) != EOF;) {
            content += static_cast<char>(c);
        }
        return content;
    }

private:
    std::FILE* m_file;
};

// The read end of a pipe that holds the input and then ends.
class PipeInput {
public:
    explicit PipeInput(const std::string& input) {
        int ends[2] = {-1, -1};
        if (::pipe(ends) == 0) {
            const ssize_t written = ::write(ends[1], input.data(), input.size());
            m_complete = written == static_cast<ssize_t>(input.size());
            ::close(ends[1]);
            m_file = ::fdopen(ends[0], "r");
        }
    }
    ~PipeInput() {
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
    }
    PipeInput(const PipeInput&) = delete;
    PipeInput& operator=(const PipeInput&) = delete;

    std::FILE* file() const { return m_complete ? m_file : nullptr; }
    // What the command left unread.
    std::string rest() const {
        std::string content;
        for (int c; (c = std::fgetc(m_file)) != EOF;) {
            content += static_cast<char>(c);
        }
        return content;
    }

private:
    std::FILE* m_file = nullptr;
    bool m_complete = false;
};

struct Outcome {
    int result;
    std::string out;
    std::string err;
};

Outcome runWithInput(AddUserCommand command, const std::string& input) {
    PipeInput in(input);
    Capture out;
    Capture err;
    const int result = command.run(in.file(), out.file(), err.file());
    return {result, out.text(), err.text()};
}

const std::string kBadNameText =
    "Unable to create new user:\ninvalid username:\ntoo long or too short or contains illegal "
    "symbols.\n";
const std::string kBadPasswordText =
    "Unable to create new user:\ninvalid Password:\ntoo long or too short or contains illegal "
    "symbols.\n";

}  // namespace

class AddUserCommandRun : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(AddUserCommandRun, APipedPasswordMakesAnAccountThatLogsIn) {
    const Outcome outcome =
        runWithInput(AddUserCommand("admin", "Admin", m_dir.path()), "secret\n");
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.out, "User \"admin\" created successfully.\n");
    EXPECT_EQ(outcome.err, "");
    const std::string path = m_dir.path() + "/login.txt";
    EXPECT_EQ(verifyLogin(path.c_str(), "admin", "secret"), 2);
    EXPECT_EQ(m_dir.read(kFile), joined({kAdminLine}));
    EXPECT_EQ(modeOf(path), 0600);
}

TEST_F(AddUserCommandRun, TheCurrentFolderWithoutARootAndCrLfInput) {
    const Outcome outcome = runWithInput(AddUserCommand("Bob", "Support", ""), "hunter22\r\n");
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(verifyLogin(kFile, "Bob", "hunter22"), 1);
}

TEST_F(AddUserCommandRun, AnExistingUserIsRefused) {
    writeFile(kFile, joined({kBobSupportLine}));
    const Outcome outcome = runWithInput(AddUserCommand("Bob", "Admin", ""), "another\n");
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err,
              "Unable to create new user:\nUser already exists or invalid user name\n");
    EXPECT_EQ(m_dir.read(kFile), joined({kBobSupportLine}));
}

TEST_F(AddUserCommandRun, TypeAndNameAreCheckedBeforeThePasswordIsRead) {
    PipeInput in("secret\n");
    Capture out;
    Capture typeErr;
    Capture nameErr;
    EXPECT_EQ(AddUserCommand("admin", "admin", "").run(in.file(), out.file(), typeErr.file()), 1);
    EXPECT_EQ(typeErr.text(),
              "Unable to create new user:\nno such user type (Operator, Support or Admin)\n");
    EXPECT_EQ(AddUserCommand("ad", "Admin", "").run(in.file(), out.file(), nameErr.file()), 1);
    EXPECT_EQ(nameErr.text(), kBadNameText);
    EXPECT_EQ(in.rest(), "secret\n");
    EXPECT_EQ(out.text(), "");
    EXPECT_FALSE(exists(kFile));
}

TEST_F(AddUserCommandRun, PasswordsBreakingTheRulesAreNeverCut) {
    for (const std::string& input : {std::string(21, 'p') + "\n", std::string("secret\0more\n", 12),
                                     std::string("pass"), std::string(), std::string(300, 'p')}) {
        const Outcome outcome = runWithInput(AddUserCommand("admin", "Admin", ""), input);
        EXPECT_EQ(outcome.result, 1);
        EXPECT_EQ(outcome.err, kBadPasswordText);
    }
    EXPECT_EQ(runWithInput(AddUserCommand(std::string("admin\0x", 7), "Admin", ""), "secret\n").err,
              kBadNameText);
    EXPECT_FALSE(exists(kFile));
}

TEST_F(AddUserCommandRun, AMissingFolderIsAClearError) {
    const std::string folder = m_dir.path() + "/missing";
    const Outcome outcome = runWithInput(AddUserCommand("admin", "Admin", folder), "secret\n");
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.err, "Unable to create new user:\nNo such folder: " + folder + "\n");
    EXPECT_FALSE(exists(folder));
}

// A terminal: the command asks twice and the typed password is not echoed.
class AddUserCommandTerminal : public AddUserCommandRun {
protected:
    void SetUp() override {
        ASSERT_EQ(::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr), 0);
        m_in = ::fdopen(m_slave, "r");
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        m_promptRead = ends[0];
        m_err = ::fdopen(ends[1], "w");
    }
    void TearDown() override {
        std::fclose(m_in);
        std::fclose(m_err);
        ::close(m_promptRead);
        ::close(m_master);
    }

    // Waits for prompt on the error stream, then types line.
    void answer(const std::string& prompt, const std::string& line) {
        std::string shown;
        char c = 0;
        while (shown.size() < prompt.size() && ::read(m_promptRead, &c, 1) == 1) {
            shown += c;
        }
        EXPECT_EQ(shown, prompt);
        EXPECT_EQ(::write(m_master, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }

    // What the terminal showed.
    std::string echoed() const {
        std::string shown;
        char buffer[256];
        ::tcdrain(m_slave);
        for (;;) {
            pollfd ready{m_master, POLLIN, 0};
            if (::poll(&ready, 1, 100) != 1) {
                break;
            }
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count <= 0) {
                break;
            }
            shown.append(buffer, static_cast<std::size_t>(count));
        }
        return shown;
    }

    int run(const std::string& first, const std::string& second) {
        Capture out;
        int result = -1;
        std::thread command(
            [&] { result = AddUserCommand("admin", "Admin", "").run(m_in, out.file(), m_err); });
        answer("Password: ", first);
        answer("Repeat password: ", second);
        command.join();
        m_out = out.text();
        return result;
    }

    int m_master = -1;
    int m_slave = -1;
    int m_promptRead = -1;
    std::FILE* m_in = nullptr;
    std::FILE* m_err = nullptr;
    std::string m_out;
};

TEST_F(AddUserCommandTerminal, AsksTwiceWithoutEcho) {
    EXPECT_EQ(run("secret\n", "secret\n"), 0);
    EXPECT_EQ(m_out, "User \"admin\" created successfully.\n");
    EXPECT_EQ(verifyLogin(kFile, "admin", "secret"), 2);
    EXPECT_EQ(echoed().find("secret"), std::string::npos);
    termios after{};
    ASSERT_EQ(::tcgetattr(m_slave, &after), 0);
    EXPECT_NE(after.c_lflag & ECHO, 0u);
}

TEST_F(AddUserCommandTerminal, RefusesPasswordsThatDiffer) {
    EXPECT_EQ(run("secret\n", "secreT\n"), 1);
    std::fflush(m_err);
    char shown[64] = {};
    EXPECT_EQ(::read(m_promptRead, shown, sizeof shown - 1), 24);
    EXPECT_STREQ(shown, "Passwords didn't match.\n");
    EXPECT_EQ(m_out, "");
    EXPECT_FALSE(exists(kFile));
}
