// A USB device as the host sees it at its interface: endpoints and control requests.
#pragma once

#include <cstdint>
#include <vector>

#include "SetupPacket.h"

namespace boardsim {

enum class TransferType : uint8_t { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

struct EndpointInfo {
    uint8_t address;  // bit 7 set for IN
    TransferType type;
    uint16_t maxPacketSize;
};

class UsbDeviceModel {
public:
    virtual ~UsbDeviceModel() = default;

    // The endpoints of interface 0, alternate setting 0, in descriptor order.
    virtual std::vector<EndpointInfo> endpoints() const = 0;

    // One control transfer. data holds setup.length bytes: what the host sends (OUT) or room for
    // the reply (IN). Returns the bytes transferred, or a negative errno: -EPIPE for a stalled
    // request, -ENODEV when the device is gone, -ETIMEDOUT when it did not answer.
    virtual int handleControl(const SetupPacket& setup, uint8_t* data) = 0;
};

}  // namespace boardsim
