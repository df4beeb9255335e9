#include "usb/libusb/kxMsOsDescriptors.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace kx {

namespace {

using Bytes = std::span<const uint8_t>;

// Registry value types a GUID property may carry.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegMultiSz = 7;

// Descriptor types of the BOS and of the 2.0 descriptor set.
constexpr uint8_t kBosType = 0x0F;
constexpr uint8_t kDeviceCapabilityType = 0x10;
constexpr uint8_t kPlatformCapability = 0x05;
constexpr uint16_t kSetHeader = 0x00;
constexpr uint16_t kConfigurationSubset = 0x01;
constexpr uint16_t kFunctionSubset = 0x02;
constexpr uint16_t kRegistryProperty = 0x04;

constexpr std::size_t kSetHeaderLength = 10;
constexpr std::size_t kSubsetHeaderLength = 8;
// bLength, bDescriptorType, bDevCapabilityType, bReserved, then the 16-byte platform UUID.
constexpr std::size_t kPlatformCapabilityHeaderLength = 20;
// dwWindowsVersion, wMSOSDescriptorSetTotalLength, bMS_VendorCode, bAltEnumCode.
constexpr std::size_t kSetInfoLength = 8;

// Whether count bytes starting at offset lie inside data.
bool fits(Bytes data, std::size_t offset, std::size_t count) {
    return offset <= data.size() && count <= data.size() - offset;
}

uint16_t le16(Bytes data, std::size_t offset) {
    return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

uint32_t le32(Bytes data, std::size_t offset) {
    return static_cast<uint32_t>(data[offset]) | static_cast<uint32_t>(data[offset + 1]) << 8 |
           static_cast<uint32_t>(data[offset + 2]) << 16 |
           static_cast<uint32_t>(data[offset + 3]) << 24;
}

const Guid& msOs20PlatformUuid() {
    static const Guid uuid = *Guid::parse("{D8DD60DF-4589-4CC7-9CD2-659D9E648A9F}");
    return uuid;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether a property name (UTF-16LE including its NUL) names a GUID property; nullopt when the
// name is not terminated UTF-16 text.
std::optional<bool> isGuidPropertyName(Bytes name) {
    if (name.size() < 2 || name.size() % 2 != 0 || le16(name, name.size() - 2) != 0) {
        return std::nullopt;
    }
    const std::size_t units = name.size() / 2 - 1;
    for (const std::string_view expected : {"DeviceInterfaceGUID", "DeviceInterfaceGUIDs"}) {
        if (units != expected.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < units && same; ++i) {
            const uint16_t unit = le16(name, 2 * i);
            same = unit < 0x80 && lowerAscii(static_cast<char>(unit)) == lowerAscii(expected[i]);
        }
        if (same) {
            return true;
        }
    }
    return false;
}

void addGuid(const std::string& text, std::vector<Guid>& guids) {
    const auto guid = Guid::parse(text);
    if (guid && std::find(guids.begin(), guids.end(), *guid) == guids.end()) {
        guids.push_back(*guid);
    }
}

// Appends the GUIDs of a property value to guids. REG_SZ holds one string, REG_MULTI_SZ a list
// ended by an empty string (a list whose last string is terminated but lacks the empty one is
// taken as complete). Other value types hold no GUID text and are passed over. False when the
// text has an odd byte count or a string runs to the end of the value without its NUL.
bool collectGuids(Bytes value, uint32_t type, std::vector<Guid>& guids) {
    if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) {
        return true;
    }
    if (value.size() % 2 != 0) {
        return false;
    }
    std::string text;
    bool anyTerminated = false;
    for (std::size_t offset = 0; offset < value.size(); offset += 2) {
        const uint16_t unit = le16(value, offset);
        if (unit != 0) {
            // GUID text is ASCII; anything else makes the string fail to parse.
            text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
            continue;
        }
        anyTerminated = true;
        if (text.empty()) {
            return true;
        }
        addGuid(text, guids);
        if (type != kRegMultiSz) {
            return true;
        }
        text.clear();
    }
    return anyTerminated && text.empty();
}

// Reads one registry property whose name and value are already cut out of its descriptor.
bool readProperty(Bytes name, Bytes value, uint32_t type, std::vector<Guid>& guids) {
    const auto guidName = isGuidPropertyName(name);
    if (!guidName) {
        return false;
    }
    return !*guidName || collectGuids(value, type, guids);
}

}  // namespace

std::optional<uint8_t> MsOsDescriptors::osStringVendorCode(std::span<const uint8_t> descriptor) {
    static constexpr std::array<uint8_t, 14> kSignature = {'M', 0,   'S', 0,   'F', 0,   'T',
                                                           0,   '1', 0,   '0', 0,   '0', 0};
    // bLength, bDescriptorType, the signature, then the vendor code (a pad byte may follow).
    constexpr std::size_t kVendorCodeOffset = 2 + kSignature.size();
    if (descriptor.size() < 2) {
        return std::nullopt;
    }
    const std::size_t length = descriptor[0];
    if (length > descriptor.size() || length < kVendorCodeOffset + 1 || descriptor[1] != 0x03) {
        return std::nullopt;
    }
    if (!std::equal(kSignature.begin(), kSignature.end(), descriptor.begin() + 2)) {
        return std::nullopt;
    }
    return descriptor[kVendorCodeOffset];
}

std::optional<uint32_t> MsOsDescriptors::extendedPropertiesLength(std::span<const uint8_t> header) {
    // dwLength, bcdVersion, wIndex, wCount.
    if (header.size() < kExtendedPropertiesHeaderLength) {
        return std::nullopt;
    }
    const uint32_t length = le32(header, 0);
    if (le16(header, 4) != 0x0100 || le16(header, 6) != kExtendedPropertiesIndex ||
        length < kExtendedPropertiesHeaderLength) {
        return std::nullopt;
    }
    return length;
}

std::optional<std::vector<Guid>> MsOsDescriptors::extendedPropertiesGuids(
    std::span<const uint8_t> descriptor) {
    const auto length = extendedPropertiesLength(descriptor);
    if (!length || *length > descriptor.size()) {
        return std::nullopt;
    }
    const Bytes body = descriptor.first(*length);
    const uint16_t count = le16(body, 8);
    std::vector<Guid> guids;
    std::size_t offset = kExtendedPropertiesHeaderLength;
    for (uint16_t i = 0; i < count; ++i) {
        // A section: dwSize, dwPropertyDataType, wPropertyNameLength, bPropertyName,
        // dwPropertyDataLength, bPropertyData.
        if (!fits(body, offset, 10)) {
            return std::nullopt;
        }
        const uint32_t size = le32(body, offset);
        if (size < 10 || !fits(body, offset, size)) {
            return std::nullopt;
        }
        const Bytes section = body.subspan(offset, size);
        const uint32_t type = le32(section, 4);
        const std::size_t nameLength = le16(section, 8);
        if (!fits(section, 10, nameLength + 4)) {
            return std::nullopt;
        }
        const std::size_t valueLength = le32(section, 10 + nameLength);
        if (!fits(section, 14 + nameLength, valueLength)) {
            return std::nullopt;
        }
        if (!readProperty(section.subspan(10, nameLength),
                          section.subspan(14 + nameLength, valueLength), type, guids)) {
            return std::nullopt;
        }
        offset += size;
    }
    return guids;
}

std::optional<uint16_t> MsOsDescriptors::bosTotalLength(std::span<const uint8_t> header) {
    // bLength, bDescriptorType, wTotalLength, bNumDeviceCaps.
    if (header.size() < kBosHeaderLength) {
        return std::nullopt;
    }
    const uint16_t total = le16(header, 2);
    if (header[0] < kBosHeaderLength || header[1] != kBosType || total < header[0]) {
        return std::nullopt;
    }
    return total;
}

std::optional<MsOsDescriptors::DescriptorSetInfo> MsOsDescriptors::bosDescriptorSetInfo(
    std::span<const uint8_t> bos) {
    const auto total = bosTotalLength(bos);
    if (!total || *total > bos.size()) {
        return std::nullopt;
    }
    const Bytes body = bos.first(*total);
    const uint8_t count = body[4];
    const auto& uuid = msOs20PlatformUuid().bytes();
    std::optional<DescriptorSetInfo> best;
    uint32_t bestVersion = 0;
    std::size_t offset = body[0];
    for (uint8_t i = 0; i < count; ++i) {
        if (!fits(body, offset, 3)) {
            return std::nullopt;
        }
        const std::size_t length = body[offset];
        if (length < 3 || body[offset + 1] != kDeviceCapabilityType ||
            !fits(body, offset, length)) {
            return std::nullopt;
        }
        const Bytes capability = body.subspan(offset, length);
        offset += length;
        if (capability[2] != kPlatformCapability || length < kPlatformCapabilityHeaderLength ||
            !std::equal(uuid.begin(), uuid.end(), capability.begin() + 4)) {
            continue;
        }
        for (std::size_t at = kPlatformCapabilityHeaderLength; fits(capability, at, kSetInfoLength);
             at += kSetInfoLength) {
            const uint32_t version = le32(capability, at);
            const uint16_t setLength = le16(capability, at + 4);
            if (setLength < kSetHeaderLength || (best && version <= bestVersion)) {
                continue;
            }
            best = DescriptorSetInfo{capability[at + 6], setLength};
            bestVersion = version;
        }
    }
    return best;
}

std::optional<std::vector<Guid>> MsOsDescriptors::descriptorSetGuids(std::span<const uint8_t> set) {
    // The set header: wLength, wDescriptorType, dwWindowsVersion, wTotalLength.
    if (!fits(set, 0, kSetHeaderLength) || le16(set, 0) != kSetHeaderLength ||
        le16(set, 2) != kSetHeader) {
        return std::nullopt;
    }
    const std::size_t total = le16(set, 8);
    if (total < kSetHeaderLength || total > set.size()) {
        return std::nullopt;
    }
    const Bytes body = set.first(total);
    std::vector<Guid> guids;
    // Subset headers are followed by their contents, so every descriptor of the set is reached
    // by stepping over each one's own wLength.
    for (std::size_t offset = kSetHeaderLength; offset < total;) {
        if (!fits(body, offset, 4)) {
            return std::nullopt;
        }
        const std::size_t length = le16(body, offset);
        const uint16_t type = le16(body, offset + 2);
        if (length < 4 || !fits(body, offset, length)) {
            return std::nullopt;
        }
        const Bytes descriptor = body.subspan(offset, length);
        if (type == kConfigurationSubset || type == kFunctionSubset) {
            if (length < kSubsetHeaderLength) {
                return std::nullopt;
            }
            const std::size_t subsetLength = le16(descriptor, 6);
            if (subsetLength < length || !fits(body, offset, subsetLength)) {
                return std::nullopt;
            }
        } else if (type == kRegistryProperty) {
            // wLength, wDescriptorType, wPropertyDataType, wPropertyNameLength, PropertyName,
            // wPropertyDataLength, PropertyData.
            if (length < 8) {
                return std::nullopt;
            }
            const uint16_t valueType = le16(descriptor, 4);
            const std::size_t nameLength = le16(descriptor, 6);
            if (!fits(descriptor, 8, nameLength + 2)) {
                return std::nullopt;
            }
            const std::size_t valueLength = le16(descriptor, 8 + nameLength);
            if (!fits(descriptor, 10 + nameLength, valueLength)) {
                return std::nullopt;
            }
            if (!readProperty(descriptor.subspan(8, nameLength),
                              descriptor.subspan(10 + nameLength, valueLength), valueType, guids)) {
                return std::nullopt;
            }
        }
        offset += length;
    }
    return guids;
}

}  // namespace kx
