// The control channel of the simulated boards: a Unix stream socket served by the program that
// holds the boards, and a line protocol that people drive through "kxcxctl sim".
//
// A request is one line of words separated by blanks. The reply is one or more lines; the last
// is "ok" or "error: <reason>". Several requests may follow each other on one connection.
// This class holds what both ends share: the socket path, the request line and the commands.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace boardsim {

class ControlProtocol {
public:
    // Environment variable naming the socket; "none" switches the channel off.
    static constexpr const char* kSocketVariable = "KXCX_SIM_SOCKET";
    static constexpr const char* kSocketOff = "none";
    static constexpr const char* kOk = "ok";
    static constexpr const char* kErrorPrefix = "error: ";
    // Longest request line, without its line feed.
    static constexpr std::size_t kMaxLineLength = 1024;

    // The socket path: KXCX_SIM_SOCKET when set and not empty, else the default; "" when the
    // variable says "none".
    static std::string socketPath();
    // "/tmp/kxcx-sim-<uid>.sock" for the calling user.
    static std::string defaultSocketPath();

    // The request line for words, line feed included. False with a reason when there is no word,
    // a word is empty or holds white space, or the line is too long.
    static bool formatRequest(const std::vector<std::string>& words, std::string& line,
                              std::string& error);
    // The words of a request line (line feed and carriage return dropped).
    static std::vector<std::string> splitRequest(std::string_view line);

    // Whether a reply line ends the reply.
    static bool isFinal(std::string_view line);
    static bool isError(std::string_view line);
    // "error: <reason>"
    static std::string errorLine(std::string_view reason);

    // One line per command: its form and what it does.
    static const std::vector<std::string>& commandSummary();
};

}  // namespace boardsim
