// Which model a device on the bus is, decided from what it gives without being opened as a board:
// the model its device map line names (by VID:PID), else the first model whose device interface
// GUID its descriptors carry. Any other device (a keyboard with a GUID of its own, a hub, a
// device of a map line whose label is no model's and without a model's GUID) is no board.
//
// Thread-safe: the backend asks while it lists the bus and while hot-plug reads an arrival; the
// model rows may be replaced meanwhile.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "kxDeviceMap.h"
#include "usb/kxModelRows.h"

namespace kx {

class BoardMatcher {
public:
    // map names the boards without GUID descriptors; mapSource names the map in reports.
    BoardMatcher(DeviceMap map, std::string mapSource);
    // With the device map file at path (DeviceMap::load; its bad lines reported on errors).
    static BoardMatcher load(const std::string& path, std::ostream& errors);

    // Replaces the model rows. The first call reports, on errors, each map line whose label is
    // no model's, as "<mapSource>:<line>: unknown model label '<label>'".
    void setModels(std::map<std::string, Guid> labelToGuid, std::ostream& errors);

    // The GUID of the model the map names for vendorId:productId; nullopt when the map does not
    // name the pair or its label is no model's. Such a device need not be opened to be known.
    std::optional<Guid> mappedGuid(uint16_t vendorId, uint16_t productId) const;

    // The model label (as the model rows spell it) of a device with these ids whose descriptors
    // gave guids; nullopt when it is no board of a known model.
    std::optional<std::string> label(uint16_t vendorId, uint16_t productId,
                                     std::span<const Guid> guids) const;

private:
    // Under m_mutex: the row the map names for the pair, or null.
    const ModelRows::Row* mappedRowLocked(uint16_t vendorId, uint16_t productId) const;

    const DeviceMap m_map;
    const std::string m_mapSource;
    mutable std::mutex m_mutex;
    ModelRows m_models;
    bool m_unknownLabelsReported = false;
};

}  // namespace kx
