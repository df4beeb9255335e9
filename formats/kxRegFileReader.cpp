#include "kxRegFileReader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "kxLineReader.h"

namespace {

bool isComment(const char* text) {
    return text[0] == ';' || text[0] == '\r' || text[0] == '\n';
}

}  // namespace

RegFileReader::RegFileReader(const char* path) : m_size(LineReader::fileSize(path)) {
    if (m_size >= 0) {
        m_file.reset(std::fopen(path, "r"));
    }
}

bool RegFileReader::readPiece(Line& line) {
    char buffer[kMaxPiece + 1];
    const long before = std::ftell(m_file.get());
    if (std::fgets(buffer, sizeof buffer, m_file.get()) == nullptr) {
        return false;
    }
    const long after = std::ftell(m_file.get());
    const std::size_t shown = std::strlen(buffer);
    // An embedded NUL hides the rest of its piece from the text but not from the count.
    const long read = before >= 0 && after > before ? after - before : static_cast<long>(shown);
    const std::size_t kept = std::clamp<std::size_t>(static_cast<std::size_t>(read), shown,
                                                     static_cast<std::size_t>(kMaxPiece));
    line.text.assign(buffer, kept);
    line.length = read;
    if (shown >= 2 && buffer[shown - 2] == '\r' && buffer[shown - 1] == '\n') {
        --line.length;
    }
    line.length = std::max(line.length, 1L);
    if (m_lineStart) {
        ++m_number;
    }
    line.number = m_number;
    m_lineStart = kept > 0 && line.text[kept - 1] == '\n';
    return true;
}

void RegFileReader::parse(Line& line) {
    // Up to three hexadecimal numbers separated by white space, as "%x %x %x" reads them, without
    // the undefined behaviour of scanning a number too large for its type.
    unsigned long values[3] = {0, 0, 0};
    int count = 0;
    const char* p = line.text.c_str();
    while (count < 3) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(p, &end, 16);
        if (end == p) {
            break;
        }
        values[count++] = value;
        p = end;
    }
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    line.numbers = count;
    line.address = values[0];
    line.reg = values[1];
    line.data = values[2];
    line.trailing = *p != '\0';
    line.kind = count > 0 ? Kind::Register : Kind::Empty;
}

bool RegFileReader::next(Line& line) {
    if (!m_file || m_linesAfterReset == 0 || m_consumed > m_size || !readPiece(line)) {
        return false;
    }
    m_consumed += line.length;
    line.pauseAfter = false;
    line.numbers = 0;
    line.address = line.reg = line.data = 0;
    line.trailing = false;
    const char* text = line.text.c_str();
    if (m_inHeader) {
        line.kind = Kind::Header;
        m_inHeader = std::strstr(text, kHeaderEnd) == nullptr;
    } else if (m_linesAfterReset > 0) {
        --m_linesAfterReset;
        line.pauseAfter = true;
        parse(line);
    } else if (std::strstr(text, kResetIsp) != nullptr) {
        line.kind = Kind::ResetIsp;
        m_linesAfterReset = 2;
    } else if (isComment(text)) {
        line.kind = Kind::Comment;
    } else {
        parse(line);
    }
    return true;
}

std::string RegFileReader::problem(const Line& line) {
    if (line.kind != Kind::Register && line.kind != Kind::Empty) {
        return {};
    }
    if (line.numbers == 0) {
        return "holds no register data and is skipped";
    }
    std::string text;
    if (line.numbers < 3) {
        text = "holds " + std::to_string(line.numbers) + " of 3 numbers, the missing count as 0";
    }
    if (line.trailing) {
        text += text.empty() ? "" : "; ";
        text += "what follows the numbers is not read";
    }
    return text;
}
