#include "kxModelRows.h"

#include <algorithm>

#include "kxDeviceMap.h"

namespace kx {

bool ModelRows::sameLabel(std::string_view a, std::string_view b) {
    return DeviceMap::sameLabel(a, b);
}

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
        return sameLabel(each.first, label);
    });
    return row == m_rows.end() ? nullptr : &*row;
}

}  // namespace kx
