// Reading a board's device interface GUIDs out of its Microsoft OS descriptors.
//
// Boards announce the GUID their model is known by in one of two ways:
//   1.0: string descriptor 0xEE reads "MSFT100" plus a vendor code; the vendor request with that
//        code and wIndex 0x0005 returns the extended properties feature descriptor.
//   2.0: a platform capability in the BOS descriptor gives a vendor code and the length of the
//        descriptor set; the vendor request with that code and wIndex 0x0007 returns the set.
// Either way the GUIDs sit in a registry property named "DeviceInterfaceGUID" (REG_SZ) or
// "DeviceInterfaceGUIDs" (REG_MULTI_SZ) as UTF-16LE "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" text.
//
// This class only parses; the libusb backend does the requests. The bytes come from the device,
// so every length is checked against the bytes actually received: a descriptor whose lengths do
// not fit, whose GUID property text is not terminated or has an odd byte count, or whose header
// is wrong reads as malformed (nullopt). A well-formed descriptor without a GUID property gives
// an empty list; a property string that is not GUID text is skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "usb/kxGuid.h"

namespace kx {

class MsOsDescriptors {
public:
    // The string descriptor index of the 1.0 OS string, and the length a host asks for.
    static constexpr uint8_t kOsStringIndex = 0xEE;
    static constexpr uint16_t kOsStringLength = 0x12;
    // wIndex of the 1.0 extended properties request; its fixed header length.
    static constexpr uint16_t kExtendedPropertiesIndex = 0x0005;
    static constexpr uint16_t kExtendedPropertiesHeaderLength = 10;
    // wIndex of the 2.0 descriptor set request.
    static constexpr uint16_t kDescriptorSetIndex = 0x0007;
    // The fixed header length of a BOS descriptor.
    static constexpr uint16_t kBosHeaderLength = 5;

    // Where the 2.0 descriptor set is fetched from.
    struct DescriptorSetInfo {
        uint8_t vendorCode = 0;
        uint16_t setLength = 0;
    };

    MsOsDescriptors() = delete;

    // The vendor code of a 0xEE string descriptor reading "MSFT100"; nullopt for anything else.
    static std::optional<uint8_t> osStringVendorCode(std::span<const uint8_t> descriptor);

    // The total length (dwLength) announced by the first 10 bytes of an extended properties
    // descriptor; nullopt when the header is not one.
    static std::optional<uint32_t> extendedPropertiesLength(std::span<const uint8_t> header);

    // The GUIDs of an extended properties descriptor, in descriptor order without repeats.
    static std::optional<std::vector<Guid>> extendedPropertiesGuids(
        std::span<const uint8_t> descriptor);

    // The total length (wTotalLength) announced by the first 5 bytes of a BOS descriptor.
    static std::optional<uint16_t> bosTotalLength(std::span<const uint8_t> header);

    // The 2.0 platform capability of a whole BOS descriptor. Of several descriptor sets the one
    // for the newest Windows version is taken (a set shorter than its header is passed over).
    // nullopt when the BOS is malformed or has none.
    static std::optional<DescriptorSetInfo> bosDescriptorSetInfo(std::span<const uint8_t> bos);

    // The GUIDs of a 2.0 descriptor set (device level and every function subset), in descriptor
    // order without repeats.
    static std::optional<std::vector<Guid>> descriptorSetGuids(std::span<const uint8_t> set);
};

}  // namespace kx
