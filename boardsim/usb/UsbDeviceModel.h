// A USB device as the host sees it at its interface: endpoints and control requests.
#pragma once

#include <chrono>
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

    // The endpoints of interface 0, alternate setting 0, in descriptor order; the list is fixed
    // for the device's lifetime.
    virtual const std::vector<EndpointInfo>& endpoints() const = 0;

    // One control transfer. data holds setup.length bytes: what the host sends (OUT) or room for
    // the reply (IN). Returns the bytes transferred, or a negative errno: -EPIPE for a stalled
    // request, -ENODEV when the device is gone, -ETIMEDOUT when it did not answer.
    virtual int handleControl(const SetupPacket& setup, uint8_t* data) = 0;

    // One transfer on a bulk or interrupt endpoint. An IN endpoint (bit 7 set) fills up to
    // length bytes of data, an OUT endpoint takes length bytes. Returns the bytes transferred, or
    // a negative errno: -ETIMEDOUT when nothing came within the time-out (0 ms: no bound),
    // -ENODEV when the device is or goes away (a blocked transfer returns at once), -ECANCELED
    // when cancelData ended it, -EPIPE when the endpoint is halted, -EINVAL for an endpoint the
    // device does not have.
    virtual int handleData(uint8_t endpoint, uint8_t* data, uint32_t length,
                           std::chrono::milliseconds timeout) = 0;
    // Ends the transfers blocked on the endpoint with -ECANCELED.
    virtual void cancelData(uint8_t endpoint) = 0;
    // Clears a halt of the endpoint. 0 or a negative errno.
    virtual int clearHalt(uint8_t endpoint) = 0;
};

}  // namespace boardsim
