// Reads a password from a stream: one line, its line end (LF or CR LF) removed. When the stream
// is a terminal the prompt is written first and the typed characters are not echoed.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace hv {

class PasswordPrompt {
public:
    // Characters kept of a line; the rest is read and dropped. Longer than any valid password,
    // so a cut line still breaks the password rules.
    static constexpr std::size_t kKept = 256;

    PasswordPrompt(std::FILE* in, std::FILE* err) : m_in(in), m_err(err) {}

    bool isTerminal() const;
    // The next line; on a terminal after prompt (written to err) and without echo.
    std::string read(const char* prompt);

private:
    std::string readLine();

    std::FILE* m_in;
    std::FILE* m_err;
};

}  // namespace hv
