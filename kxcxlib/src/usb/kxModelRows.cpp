#include "usb/kxModelRows.h"

#include <algorithm>

#include "kxDeviceMap.h"

namespace kx {

std::optional<std::string> ModelRows::labelOf(std::span<const Guid> guids) const {
    for (const auto& [label, guid] : m_rows) {
        if (std::find(guids.begin(), guids.end(), guid) != guids.end()) {
            return label;
        }
    }
    return std::nullopt;
}

const ModelRows::Row* ModelRows::find(std::string_view label) const {
    const auto row = std::find_if(m_rows.begin(), m_rows.end(), [label](const Row& each) {
        return DeviceMap::sameLabel(each.first, label);
    });
    return row == m_rows.end() ? nullptr : &*row;
}

}  // namespace kx
