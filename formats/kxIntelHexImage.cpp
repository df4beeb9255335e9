#include "kxIntelHexImage.h"

#include "kxLineReader.h"

namespace {
constexpr int kExtendedSegmentAddress = 0x02;
}

bool IntelHexImage::refuse(std::string fault) {
    m_fault = std::move(fault);
    return false;
}

bool IntelHexImage::read(const char* path) {
    m_lines.clear();
    m_characters = 0;
    m_fault.clear();
    const long size = LineReader::fileSize(path);
    if (size < 0) {
        return refuse("it is no readable file");
    }
    if (size > kMaxFileBytes) {
        return refuse("its " + std::to_string(size) + " bytes are more than any image holds");
    }
    LineReader reader(path, kLineBuffer);
    if (!reader.isOpen()) {
        return refuse("it is no readable file");
    }
    std::string text;
    uint32_t base = 0;
    int records = 0;
    int end = 0;
    while (reader.next(text)) {
        Line line;
        line.characters = static_cast<long>(text.size());
        m_characters += line.characters;
        const int number = static_cast<int>(m_lines.size()) + 1;
        if (!text.empty() && text[0] == ':') {
            if (!IntelHexRecord::parse(text, line.record)) {
                return refuse("line " + std::to_string(number) + " is damaged");
            }
            if (end != 0) {
                return refuse("line " + std::to_string(number) + " follows the end-of-file record");
            }
            line.isRecord = true;
            ++records;
            const IntelHexRecord& record = line.record;
            if (record.type == IntelHexRecord::kEndOfFile) {
                end = number;
            } else if (record.type == IntelHexRecord::kExtendedLinearAddress &&
                       record.data.size() == 2) {
                base = static_cast<uint32_t>(record.data[0] << 8 | record.data[1]) << 16;
            } else if (record.type == kExtendedSegmentAddress && record.data.size() == 2) {
                base = static_cast<uint32_t>(record.data[0] << 8 | record.data[1]) << 4;
            }
            line.base = base;
        }
        m_lines.push_back(std::move(line));
    }
    if (records == 0) {
        return refuse("it holds no Intel HEX records");
    }
    if (end == 0) {
        return refuse("it has no end-of-file record");
    }
    return true;
}
