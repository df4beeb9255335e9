#include "BoardDescriptors.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "firmware/ProgramImage.h"

namespace usbmock {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kGetDescriptor = 0x06;
constexpr uint8_t kStandardDeviceIn = 0x80;
constexpr uint8_t kVendorDeviceIn = 0xC0;
constexpr uint8_t kVendorInterfaceIn = 0xC1;

constexpr uint8_t kTypeDevice = 0x01;
constexpr uint8_t kTypeConfiguration = 0x02;
constexpr uint8_t kTypeString = 0x03;
constexpr uint8_t kTypeInterface = 0x04;
constexpr uint8_t kTypeEndpoint = 0x05;
constexpr uint8_t kTypeBos = 0x0F;
constexpr uint8_t kTypeDeviceCapability = 0x10;

constexpr uint8_t kOsStringIndex = 0xEE;
constexpr uint16_t kCompatibleIdIndex = 0x0004;
constexpr uint16_t kExtendedPropertiesIndex = 0x0005;
constexpr uint16_t kDescriptorSetIndex = 0x0007;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kWindows81 = 0x06030000;
// The MS OS 2.0 platform capability's UUID {D8DD60DF-4589-4CC7-9CD2-659D9E648A9F}, as sent.
constexpr std::array<uint8_t, 16> kMsOs20Uuid = {0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                                                 0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};
constexpr std::string_view kManufacturer = "Nelvora";

void put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8 & 0xFF));
}

void put32(Bytes& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void set16(Bytes& out, std::size_t at, std::size_t value) {
    out[at] = static_cast<uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<uint8_t>(value >> 8 & 0xFF);
}

// UTF-16LE of ASCII text, with as many terminating NULs as asked.
Bytes utf16(std::string_view text, int nuls) {
    Bytes out;
    for (const char c : text) {
        put16(out, static_cast<uint8_t>(c));
    }
    for (int i = 0; i < nuls; ++i) {
        put16(out, 0);
    }
    return out;
}

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

Bytes stringDescriptor(const Bytes& text) {
    Bytes out = {static_cast<uint8_t>(2 + text.size()), kTypeString};
    append(out, text);
    return out;
}

Bytes configuration(const std::vector<boardsim::EndpointInfo>& endpoints) {
    Bytes out = {9, kTypeConfiguration, 0, 0, 1, 1, 0, 0x80, 250};
    const Bytes interface = {
        9, kTypeInterface, 0, 0, static_cast<uint8_t>(endpoints.size()), 0xFF, 0, 0, 0};
    append(out, interface);
    for (const boardsim::EndpointInfo& endpoint : endpoints) {
        const bool interrupt = endpoint.type == boardsim::TransferType::Interrupt;
        Bytes bytes = {7, kTypeEndpoint, endpoint.address, static_cast<uint8_t>(endpoint.type)};
        put16(bytes, endpoint.maxPacketSize);
        bytes.push_back(interrupt ? 1 : 0);
        append(out, bytes);
    }
    set16(out, 2, out.size());
    return out;
}

// The "DeviceInterfaceGUIDs" value: the GUID and the empty string that ends the list.
Bytes guidList(const std::string& guid) {
    return utf16(guid, 2);
}

Bytes extendedProperties(const std::string& guid) {
    const Bytes name = utf16("DeviceInterfaceGUIDs", 1);
    const Bytes value = guidList(guid);
    Bytes section;
    put32(section, static_cast<uint32_t>(14 + name.size() + value.size()));
    put32(section, kRegMultiSz);
    put16(section, static_cast<uint32_t>(name.size()));
    append(section, name);
    put32(section, static_cast<uint32_t>(value.size()));
    append(section, value);
    Bytes out;
    put32(out, static_cast<uint32_t>(10 + section.size()));
    put16(out, 0x0100);
    put16(out, kExtendedPropertiesIndex);
    put16(out, 1);
    append(out, section);
    return out;
}

Bytes compatibleId() {
    Bytes out;
    put32(out, 40);
    put16(out, 0x0100);
    put16(out, kCompatibleIdIndex);
    out.push_back(1);
    out.resize(16, 0);
    const Bytes function = {0, 1, 'W', 'I', 'N', 'U', 'S', 'B', 0, 0};
    append(out, function);
    out.resize(40, 0);
    return out;
}

Bytes descriptorSet(const std::string& guid) {
    const Bytes name = utf16("DeviceInterfaceGUIDs", 1);
    const Bytes value = guidList(guid);
    Bytes property;
    put16(property, static_cast<uint32_t>(10 + name.size() + value.size()));
    put16(property, 0x04);
    put16(property, kRegMultiSz);
    put16(property, static_cast<uint32_t>(name.size()));
    append(property, name);
    put16(property, static_cast<uint32_t>(value.size()));
    append(property, value);
    Bytes out;
    put16(out, 10);
    put16(out, 0x00);
    put32(out, kWindows81);
    put16(out, static_cast<uint32_t>(10 + property.size()));
    append(out, property);
    return out;
}

Bytes bos(uint16_t setLength) {
    Bytes capability = {28, kTypeDeviceCapability, 0x05, 0};
    capability.insert(capability.end(), kMsOs20Uuid.begin(), kMsOs20Uuid.end());
    put32(capability, kWindows81);
    put16(capability, setLength);
    capability.push_back(BoardDescriptors::kVendorCode);
    capability.push_back(0);
    Bytes out = {5, kTypeBos, 0, 0, 1};
    append(out, capability);
    set16(out, 2, out.size());
    return out;
}

}  // namespace

BoardDescriptors::BoardDescriptors(const boardsim::CameraBoard& board, OsDescriptors os)
    : m_os(os), m_guid(board.model().interfaceGuid) {
    const auto device = boardsim::ProgramImage::descriptor(board.mcuVersion());
    m_device.assign(device.begin(), device.end());
    if (os == OsDescriptors::V2) {
        set16(m_device, 2, 0x0201);
    }
    m_configuration = configuration(board.endpoints());
    m_strings = {std::string(kManufacturer), board.model().label};
}

std::vector<uint8_t> BoardDescriptors::sysfsDescriptors() const {
    Bytes out = m_device;
    append(out, m_configuration);
    return out;
}

uint16_t BoardDescriptors::vendorId() const {
    return static_cast<uint16_t>(m_device[8] | m_device[9] << 8);
}

uint16_t BoardDescriptors::productId() const {
    return static_cast<uint16_t>(m_device[10] | m_device[11] << 8);
}

bool BoardDescriptors::answers(const boardsim::SetupPacket& setup) const {
    if (setup.requestType == kStandardDeviceIn && setup.request == kGetDescriptor) {
        return true;
    }
    const bool vendorIn =
        setup.requestType == kVendorDeviceIn || setup.requestType == kVendorInterfaceIn;
    return m_os != OsDescriptors::None && vendorIn && setup.request == kVendorCode;
}

std::optional<std::vector<uint8_t>> BoardDescriptors::answer(
    const boardsim::SetupPacket& setup) const {
    std::optional<Bytes> reply = setup.request == kGetDescriptor
                                     ? descriptor(static_cast<uint8_t>(setup.value >> 8),
                                                  static_cast<uint8_t>(setup.value & 0xFF))
                                     : vendor(setup);
    if (reply && reply->size() > setup.length) {
        reply->resize(setup.length);
    }
    return reply;
}

std::optional<std::vector<uint8_t>> BoardDescriptors::descriptor(uint8_t type,
                                                                 uint8_t index) const {
    switch (type) {
        case kTypeDevice:
            return m_device;
        case kTypeConfiguration:
            return index == 0 ? std::optional<Bytes>(m_configuration) : std::nullopt;
        case kTypeString:
            if (index == 0) {
                return stringDescriptor({0x09, 0x04});  // English (United States)
            }
            if (index == kOsStringIndex && m_os == OsDescriptors::V1) {
                Bytes text = utf16("MSFT100", 0);
                text.push_back(kVendorCode);
                text.push_back(0);
                return stringDescriptor(text);
            }
            if (index >= 1 && index <= m_strings.size()) {
                return stringDescriptor(utf16(m_strings[index - 1], 0));
            }
            return std::nullopt;
        case kTypeBos:
            if (m_os == OsDescriptors::V2) {
                return bos(static_cast<uint16_t>(descriptorSet(m_guid).size()));
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<std::vector<uint8_t>> BoardDescriptors::vendor(
    const boardsim::SetupPacket& setup) const {
    if (m_os == OsDescriptors::V1 && setup.index == kExtendedPropertiesIndex) {
        return extendedProperties(m_guid);
    }
    if (m_os == OsDescriptors::V1 && setup.index == kCompatibleIdIndex &&
        setup.requestType == kVendorDeviceIn) {
        return compatibleId();
    }
    if (m_os == OsDescriptors::V2 && setup.index == kDescriptorSetIndex &&
        setup.requestType == kVendorDeviceIn) {
        return descriptorSet(m_guid);
    }
    return std::nullopt;
}

}  // namespace usbmock
