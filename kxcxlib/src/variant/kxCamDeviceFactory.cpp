#include "variant/kxCamDeviceFactory.h"

#include <array>

#include "variant/kxMvCamDevice.h"
#include "variant/kxRtCamDevice.h"

namespace {

using Request = CamDeviceFactory::Request;
using Opened = CamDeviceFactory::Opened;

// The device and its context, or nothing when the open failed (the device then goes).
template <typename Device>
Opened keepOpened(std::unique_ptr<Device> device, CamContext* context) {
    if (context == nullptr) {
        return {};
    }
    return {std::move(device), context};
}

Opened openPolled(const kx::Guid& interfaceGuid, int memberIndex, const Request& request) {
    auto device = std::make_unique<rtCamDevice>();
    CamContext* context =
        device->open(interfaceGuid, memberIndex, request.width, request.height, request.frameBytes);
    return keepOpened(std::move(device), context);
}

Opened openStreaming(const kx::Guid& interfaceGuid, int memberIndex, const Request& request) {
    auto device = std::make_unique<mvCamDevice>();
    CamContext* context = device->open(interfaceGuid, memberIndex, request.width, request.height,
                                       request.frameBytes, request.regFile, request.traceFile);
    return keepOpened(std::move(device), context);
}

struct VariantRow {
    std::string_view modelLabel;
    Opened (*open)(const kx::Guid&, int, const Request&);
};

constexpr std::array<VariantRow, 3> kVariants{{
    {"RT4207-x6B6B", openPolled},
    {"MV3318-x7654", openStreaming},
    {"MV3329-x5542", openStreaming},
}};

}  // namespace

CamDeviceFactory::Opened CamDeviceFactory::open(std::string_view modelLabel,
                                                const kx::Guid& interfaceGuid, int memberIndex,
                                                const Request& request) {
    for (const VariantRow& row : kVariants) {
        if (row.modelLabel == modelLabel) {
            return row.open(interfaceGuid, memberIndex, request);
        }
    }
    return {};
}
