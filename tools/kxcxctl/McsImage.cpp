#include "McsImage.h"

#include "kxIntelHexRecord.h"
#include "kxLineReader.h"

namespace {
constexpr int kLineBuffer = 1024;
constexpr int kRecordBytes = 16;
}  // namespace

bool McsImage::load(const std::string& path, bool sequential) {
    m_pieces.clear();
    if (IntelHexRecord::firstDamagedLine(path.c_str()) != 0) {
        return false;
    }
    LineReader reader(path.c_str(), kLineBuffer);
    std::string line;
    IntelHexRecord record;
    uint32_t upper = 0;
    uint32_t next = 0;
    while (reader.next(line)) {
        if (line.empty() || line[0] != ':' || !IntelHexRecord::parse(line, record)) {
            continue;
        }
        if (record.type == IntelHexRecord::kExtendedLinearAddress && record.data.size() == 2) {
            upper = record.data[1];
        } else if (record.type == IntelHexRecord::kData && record.count == kRecordBytes) {
            const uint32_t address =
                sequential ? next : upper << 16 | static_cast<uint32_t>(record.address);
            if (!m_pieces.empty() &&
                m_pieces.back().address + m_pieces.back().bytes.size() == address) {
                m_pieces.back().bytes.insert(m_pieces.back().bytes.end(), record.data.begin(),
                                             record.data.end());
            } else {
                m_pieces.push_back({address, record.data});
            }
            next += kRecordBytes;
        }
    }
    return true;
}

std::size_t McsImage::bytes() const {
    std::size_t total = 0;
    for (const Piece& piece : m_pieces) {
        total += piece.bytes.size();
    }
    return total;
}
