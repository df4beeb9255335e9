// The settings table of a metering record: its keys in file order, each with the codec of its
// value and the field that holds it. The WEIGHT entries point into the table itself (which box
// they are), so a table is neither copied nor moved while its entries are in use.
#pragma once

#include <array>

#include "ConfigTable.h"
#include "MeteringRecord.h"
#include "ZoneWeightCodec.h"

namespace kxui {

class MeteringTable {
public:
    explicit MeteringTable(MeteringRecord& record);
    MeteringTable(const MeteringTable&) = delete;
    MeteringTable& operator=(const MeteringTable&) = delete;

    const std::vector<ConfigTable::Entry>& entries() const { return m_entries; }

private:
    std::array<ZoneWeightCodec::Field, MeteringRecord::kZones> m_weights;
    std::vector<ConfigTable::Entry> m_entries;
};

}  // namespace kxui
