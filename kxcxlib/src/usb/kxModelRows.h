// The board models a backend tells of: each model label with the device interface GUID its boards
// expose, as the library hands them over (UsbBackend::setModelGuids).
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "usb/kxGuid.h"

namespace kx {

class ModelRows {
public:
    using Row = std::pair<const std::string, Guid>;

    ModelRows() = default;
    explicit ModelRows(std::map<std::string, Guid> labelToGuid) : m_rows(std::move(labelToGuid)) {}

    // The label of the first row, in label order, whose GUID is among guids; nullopt when none
    // is (a device of no model, such as a keyboard with a GUID of its own).
    std::optional<std::string> labelOf(std::span<const Guid> guids) const;

    // The row of label in any letter case (a device map's spelling); null when no row has it.
    const Row* find(std::string_view label) const;

private:
    std::map<std::string, Guid> m_rows;
};

}  // namespace kx
