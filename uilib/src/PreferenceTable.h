// The settings table of a preference record: its keys in file order, each with the codec of its
// value and the field that holds it.
#pragma once

#include "ConfigTable.h"
#include "PreferenceRecord.h"

namespace kxui {

class PreferenceTable {
public:
    explicit PreferenceTable(PreferenceRecord& record);

    const std::vector<ConfigTable::Entry>& entries() const { return m_entries; }

private:
    std::vector<ConfigTable::Entry> m_entries;
};

}  // namespace kxui
