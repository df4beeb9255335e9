// The board variant of each model: a discovered board's model label picks the class that opens
// it ("RT4207-x6B6B": rtCamDevice; "MV3318-x7654", "MV3329-x5542": mvCamDevice).
#pragma once

#include <memory>
#include <string_view>

#include "device/kxCamDevice.h"
#include "usb/kxGuid.h"

class CamDeviceFactory {
public:
    // What the caller of openCxDevice asks for.
    struct Request {
        int width = 0;
        int height = 0;
        int frameBytes = 0;
        const char* regFile = nullptr;    // the second variant's register file; null: its default
        const char* traceFile = nullptr;  // where the second variant traces the file; may be null
    };
    // An opened board: its device object and the context opened on it.
    struct Opened {
        std::unique_ptr<CamDevice> device;
        CamContext* context = nullptr;
    };

    // Opens the board of an enumerated interface with its model's variant. Empty when the model
    // has no variant (the board is not touched) or the open failed.
    static Opened open(std::string_view modelLabel, const kx::Guid& interfaceGuid, int memberIndex,
                       const Request& request);
};
