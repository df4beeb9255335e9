// The device map: a text file naming, per model label, the vendor and product ids of boards whose
// descriptors carry no device interface GUID, so such a board is still found as its model.
//
//   # comment
//   RT4207-x6B6B 04b4:1004      # label, white space, VID:PID in hex (1 to 4 digits, any case)
//
// '#' starts a comment anywhere on a line; blank lines are skipped. Labels are compared without
// regard to letter case. A label may be listed with several pairs; a pair listed twice for the
// same label is accepted, a pair already given to another label is not. Every other malformed line
// is reported on the error stream as
// "<file>:<line>: <reason>" and skipped; the rest of the file still applies.
//
// Where the file is: KXCX_DEVICE_MAP when set, else "$VELQUIN_ROOT/Config/devicemap.txt" with
// VELQUIN_ROOT defaulting to "$HOME/Velquin". The file is optional: a missing one maps nothing
// and says nothing.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

class DeviceMap {
public:
    struct Entry {
        std::string label;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        int line = 0;  // 1-based line of the file that gave the pair
    };

    DeviceMap() = default;

    // Reads the text of a map; source names it in the error lines.
    static DeviceMap parse(std::string_view text, std::string_view source, std::ostream& errors);

    // Reads the file at path. Missing (or an empty path): an empty map, nothing reported. A file
    // that exists but cannot be read is reported once.
    static DeviceMap load(const std::string& path, std::ostream& errors);

    // Where the map is, from the process's environment; empty when no variable names it and
    // HOME is not set.
    static std::string defaultPath();
    // The same from given variable values (null or empty: unset).
    static std::string pathFrom(const char* deviceMap, const char* root, const char* home);

    // Whether two model labels are the same, without regard to letter case.
    static bool sameLabel(std::string_view a, std::string_view b);

    // The entry of a vendor and product id; null when the map does not name the pair.
    const Entry* find(uint16_t vendorId, uint16_t productId) const;

    const std::vector<Entry>& entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;  // one per distinct pair, in file order
};

}  // namespace kx
