#include "frame/kxCamDeviceList.h"

#include <cstdio>
#include <set>

#include "usb/kxUsbBackend.h"

namespace {

std::map<std::string, kx::Guid> g_modelTable;
std::map<std::string, CxDeviceEntry> g_deviceTable;

}  // namespace

const std::vector<CamDeviceList::ModelRow>& CamDeviceList::knownModels() {
    static const std::vector<ModelRow> rows = {
        {"RT4207-x6B6B", "{07039751-9D61-46F3-98BD-B4B79AD56B6B}"},
        {"MV3318-x7654", "{B03B64F8-3F1D-4C55-8248-F0C43B287654}"},
        {"MV3329-x5542", "{2D2D6703-7DC0-44BD-B557-60F85D4D5542}"},
    };
    return rows;
}

void CamDeviceList::insertModelRows() {
    for (const ModelRow& row : knownModels()) {
        g_modelTable.emplace(row.label, *kx::Guid::parse(row.interfaceGuid));
    }
}

const std::map<std::string, kx::Guid>& CamDeviceList::modelTable() {
    return g_modelTable;
}

bool CamDeviceList::isKnownModel(const std::string& label) {
    for (const ModelRow& row : knownModels()) {
        if (label == row.label) {
            return true;
        }
    }
    return false;
}

std::string CamDeviceList::deviceName(const std::string& label, int memberIndex) {
    char index[16];
    std::snprintf(index, sizeof index, "%02d", memberIndex);
    return label + "_" + index;
}

int CamDeviceList::discover(kx::UsbBackend& backend) {
    backend.setModelGuids(g_modelTable);
    int found = 0;
    std::set<std::string> present;
    for (const auto& [label, guid] : g_modelTable) {
        for (int index = 0;; ++index) {
            std::string path;
            const kx::EnumResult result = backend.interfacePath(guid, index, path);
            if (result == kx::EnumResult::NoMoreItems) {
                break;
            }
            if (result == kx::EnumResult::Failed) {
                continue;
            }
            const std::string name = deviceName(label, index);
            g_deviceTable[name] = CxDeviceEntry{name, label, guid, index, nullptr};
            present.insert(name);
            ++found;
        }
    }
    // A board that is gone would otherwise stay listed, and the viewer, which wants exactly one
    // device, would refuse the board plugged in after it. Open entries stay until removed.
    std::erase_if(g_deviceTable, [&present](const auto& item) {
        return item.second.openContext == nullptr && present.count(item.first) == 0;
    });
    return found;
}

std::map<std::string, CxDeviceEntry>& CamDeviceList::deviceTable() {
    return g_deviceTable;
}

CxDeviceEntry* CamDeviceList::findEntry(const std::string& name) {
    const auto it = g_deviceTable.find(name);
    return it == g_deviceTable.end() ? nullptr : &it->second;
}

int CamDeviceList::deviceNames(std::vector<std::string>& names) {
    for (const auto& item : g_deviceTable) {
        names.push_back(item.first);
    }
    return static_cast<int>(g_deviceTable.size());
}

void CamDeviceList::clearOpenContexts() {
    for (auto& item : g_deviceTable) {
        if (item.second.openContext != nullptr && isKnownModel(item.second.modelLabel)) {
            item.second.openContext = nullptr;
        }
    }
}
