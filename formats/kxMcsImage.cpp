#include "kxMcsImage.h"

#include <algorithm>

bool McsImage::take(const IntelHexImage& image, bool sequential) {
    m_pieces.clear();
    m_fault.clear();
    uint32_t next = 0;
    for (const IntelHexImage::Line& line : image.lines()) {
        const IntelHexRecord& record = line.record;
        if (!line.isRecord || record.type != IntelHexRecord::kData ||
            record.count != kRecordBytes) {
            continue;
        }
        const uint32_t address = sequential ? next : line.address();
        if (!m_pieces.empty() &&
            m_pieces.back().address + m_pieces.back().bytes.size() == address) {
            m_pieces.back().bytes.insert(m_pieces.back().bytes.end(), record.data.begin(),
                                         record.data.end());
        } else {
            m_pieces.push_back({address, record.data});
        }
        next += kRecordBytes;
    }
    if (m_pieces.empty()) {
        m_fault = "it holds no data";
        return false;
    }
    return true;
}

bool McsImage::load(const std::string& path, bool sequential) {
    IntelHexImage image;
    if (!image.read(path.c_str())) {
        m_pieces.clear();
        m_fault = image.fault();
        return false;
    }
    return take(image, sequential);
}

std::string McsImage::misfit(uint32_t capacity) const {
    if (capacity == 0 || end() <= capacity) {
        return {};
    }
    return "it needs " + std::to_string(end()) + " bytes of flash, the flash holds " +
           std::to_string(capacity);
}

std::size_t McsImage::bytes() const {
    std::size_t total = 0;
    for (const Piece& piece : m_pieces) {
        total += piece.bytes.size();
    }
    return total;
}

uint64_t McsImage::end() const {
    uint64_t last = 0;
    for (const Piece& piece : m_pieces) {
        last = std::max<uint64_t>(last, piece.address + static_cast<uint64_t>(piece.bytes.size()));
    }
    return last;
}
