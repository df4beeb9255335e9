#include "LoginLineReader.h"

#include <unistd.h>

#include <cerrno>

namespace hv {

bool LoginLineReader::fill() {
    ssize_t count = 0;
    do {
        count = ::pread(m_fd, m_buffer.data(), m_buffer.size(), m_offset);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        m_failed = true;
        return false;
    }
    m_offset += count;
    m_begin = 0;
    m_end = static_cast<std::size_t>(count);
    return count > 0;
}

LoginLineReader::Result LoginLineReader::next() {
    m_kept = 0;
    m_length = 0;
    bool any = false;
    bool ended = false;
    char last = '\0';
    while (m_begin < m_end || fill()) {
        any = true;
        const char c = m_buffer[m_begin++];
        if (c == '\n') {
            ended = true;
            break;
        }
        if (m_kept < kKept) {
            m_line[m_kept++] = c;
        }
        ++m_length;
        last = c;
    }
    if (m_failed) {
        return Result::Error;
    }
    if (!any) {
        return Result::End;
    }
    // A CR right before the LF belongs to the line end.
    if (ended && last == '\r') {
        --m_length;
        if (m_kept > m_length) {
            m_kept = m_length;
        }
    }
    return Result::Line;
}

}  // namespace hv
