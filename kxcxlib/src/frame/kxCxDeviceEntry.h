// One row of the device table: an enumerated board interface.
#pragma once

#include <cstdint>
#include <string>

#include "usb/kxGuid.h"

struct CamContext;

struct CxDeviceEntry {
    std::string name;        // model label, "_", two-digit (or longer) member index
    std::string modelLabel;  // the model table key it was found under
    kx::Guid interfaceGuid;
    int32_t memberIndex = 0;  // index in the enumeration of its GUID
    CamContext* openContext = nullptr;
};
