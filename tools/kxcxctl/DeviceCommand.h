// What the commands that work on one board share: their common options and opening the board.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "DeviceSession.h"

class DeviceCommand {
public:
    // The board a command works on, or the exit code of a command that has none: 2 when the
    // command line was wrong, 1 when the board could not be opened.
    class Opened {
    public:
        explicit Opened(int exitCode) : m_exitCode(exitCode) {}
        explicit Opened(std::unique_ptr<DeviceSession> session) : m_session(std::move(session)) {}

        explicit operator bool() const { return m_session != nullptr; }
        DeviceSession* operator->() const { return m_session.get(); }
        int exitCode() const { return m_exitCode; }
        // Closes the board and unloads the library (its log is then written out).
        void close() { m_session.reset(); }

    private:
        std::unique_ptr<DeviceSession> m_session;
        int m_exitCode = 0;
    };

    // Options every board command takes: --device NAME, --regfile PATH.
    static const std::vector<std::string>& sessionOptions();

    // Checks the options (flags must be among `flags`): 0, or 2 after writing the usage error to
    // err. For commands that judge their files before they open the board.
    static int checkUsage(const Arguments& arguments, const std::vector<std::string>& flags,
                          const std::string& command, std::ostream& err);
    // Checks the options as checkUsage does and opens the board. Without a board after
    // writing "kxcxctl <command>: <reason>" to err.
    static Opened open(const Arguments& arguments, const std::vector<std::string>& flags,
                       const std::string& command, std::ostream& err);

    // Writes "kxcxctl <command>: <message>" and returns exit code 1 (2 for usage errors).
    static int fail(std::ostream& err, const std::string& command, const std::string& message,
                    int code = 1);
};
