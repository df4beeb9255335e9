#include "usb/libusb/kxBoardMatcher.h"

#include <ostream>

namespace kx {

BoardMatcher::BoardMatcher(DeviceMap map, std::string mapSource)
    : m_map(std::move(map)), m_mapSource(std::move(mapSource)) {}

BoardMatcher BoardMatcher::load(const std::string& path, std::ostream& errors) {
    return BoardMatcher(DeviceMap::load(path, errors), path);
}

void BoardMatcher::setModels(std::map<std::string, Guid> labelToGuid, std::ostream& errors) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_models = ModelRows(std::move(labelToGuid));
    if (m_unknownLabelsReported) {
        return;
    }
    m_unknownLabelsReported = true;
    for (const DeviceMap::Entry& entry : m_map.entries()) {
        if (m_models.find(entry.label) == nullptr) {
            errors << m_mapSource << ':' << entry.line << ": unknown model label '" << entry.label
                   << "'" << std::endl;
        }
    }
}

const ModelRows::Row* BoardMatcher::mappedRowLocked(uint16_t vendorId, uint16_t productId) const {
    const DeviceMap::Entry* entry = m_map.find(vendorId, productId);
    return entry == nullptr ? nullptr : m_models.find(entry->label);
}

std::optional<Guid> BoardMatcher::mappedGuid(uint16_t vendorId, uint16_t productId) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const ModelRows::Row* row = mappedRowLocked(vendorId, productId);
    if (row == nullptr) {
        return std::nullopt;
    }
    return row->second;
}

std::optional<std::string> BoardMatcher::label(uint16_t vendorId, uint16_t productId,
                                               std::span<const Guid> guids) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (const ModelRows::Row* row = mappedRowLocked(vendorId, productId)) {
        return row->first;
    }
    return m_models.labelOf(guids);
}

}  // namespace kx
