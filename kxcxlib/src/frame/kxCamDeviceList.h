// The model table (which device interface belongs to which board model) and the device table
// (the boards found). Both are shared by the whole process and outlive the library object.
// Neither is locked: discovery, open and close run on one thread.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "frame/kxCxDeviceEntry.h"
#include "usb/kxGuid.h"

namespace kx {
class UsbBackend;
}

class CamDeviceList {
public:
    // The board models the library knows, in the order loadCxLib inserts them.
    struct ModelRow {
        const char* label;
        const char* interfaceGuid;
    };
    static const std::vector<ModelRow>& knownModels();

    // Inserts the rows of knownModels; an existing label keeps its row.
    static void insertModelRows();
    static const std::map<std::string, kx::Guid>& modelTable();
    static bool isKnownModel(const std::string& label);

    // Discovery through the backend: for each model in label order, every present interface of
    // its GUID becomes an entry "<label>_<index>" (replacing one of that name). Entries of boards
    // no longer present are dropped unless a handle of theirs is open. Returns the number of
    // interfaces this call found.
    static int discover(kx::UsbBackend& backend);

    // "RT4207-x6B6B_00"; at least two digits.
    static std::string deviceName(const std::string& label, int memberIndex);

    static std::map<std::string, CxDeviceEntry>& deviceTable();
    static CxDeviceEntry* findEntry(const std::string& name);
    // Appends the names in table order; returns the table size.
    static int deviceNames(std::vector<std::string>& names);
    // Forgets the open contexts of entries of known models.
    static void clearOpenContexts();
};
