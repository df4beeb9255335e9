// The descriptors a simulated board shows the host: the standard ones (device, configuration,
// strings) and the Microsoft OS descriptors that announce its model's device interface GUID.
//
// The simulated board answers only its vendor requests; on a real board the controller's program
// answers these as well. The device descriptor is the one of the program the controller runs
// (its version in bcdDevice); the configuration lists the board's endpoints in its order.
//
// Microsoft OS descriptors, one of:
//   None  none (the board is found through the device map only);
//   V1    string 0xEE "MSFT100" with kVendorCode; the vendor request kVendorCode with wIndex 5
//         (to the interface or the device) gives the extended properties, one REG_MULTI_SZ
//         "DeviceInterfaceGUIDs"; wIndex 4 gives the compatible ID "WINUSB";
//   V2    bcdUSB 2.01 and a BOS with the 2.0 platform capability; the vendor request kVendorCode
//         with wIndex 7 gives the descriptor set with the same property.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "board/CameraBoard.h"
#include "usb/SetupPacket.h"

namespace usbmock {

enum class OsDescriptors { None, V1, V2 };

class BoardDescriptors {
public:
    // A request code the board's controller does not use for anything else.
    static constexpr uint8_t kVendorCode = 0x4B;

    BoardDescriptors(const boardsim::CameraBoard& board, OsDescriptors os);

    // The device descriptor followed by the configuration, as the kernel's sysfs shows them.
    std::vector<uint8_t> sysfsDescriptors() const;
    uint16_t vendorId() const;
    uint16_t productId() const;

    // Whether a request is one of those the descriptors answer (a standard GET_DESCRIPTOR, or
    // the vendor code with an MS OS index); the board gets all others.
    bool answers(const boardsim::SetupPacket& setup) const;
    // The answer, cut to wLength; nullopt for a descriptor the board does not have (a stall).
    std::optional<std::vector<uint8_t>> answer(const boardsim::SetupPacket& setup) const;

private:
    std::vector<uint8_t> m_device;
    std::vector<uint8_t> m_configuration;
    std::vector<std::string> m_strings;  // index 1 onwards
    OsDescriptors m_os;
    std::string m_guid;

    std::optional<std::vector<uint8_t>> descriptor(uint8_t type, uint8_t index) const;
    std::optional<std::vector<uint8_t>> vendor(const boardsim::SetupPacket& setup) const;
};

}  // namespace usbmock
