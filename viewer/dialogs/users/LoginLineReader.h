// Reads the lines of an open account file from its start. A line ends in LF or CR LF (the
// line end is not part of the line); the last line may have none. Only the first characters of
// a line are kept, however long it is, so an over-long line is one line, never several.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace hv {

class LoginLineReader {
public:
    // Characters kept of each line: more than an account line has, so that a longer line is
    // never equal to one.
    static constexpr std::size_t kKept = 96;

    enum class Result { Line, End, Error };

    explicit LoginLineReader(int fd) : m_fd(fd) {}

    // The next line: its first characters in text(), its whole length in length().
    Result next();
    std::string_view text() const { return {m_line.data(), m_kept}; }
    std::size_t length() const { return m_length; }

private:
    bool fill();

    int m_fd;
    long long m_offset = 0;
    std::array<char, 4096> m_buffer{};
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_failed = false;
    std::array<char, kKept> m_line{};
    std::size_t m_kept = 0;
    std::size_t m_length = 0;
};

}  // namespace hv
