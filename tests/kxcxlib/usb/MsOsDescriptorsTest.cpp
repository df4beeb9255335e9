// The OS descriptor parser against hand-built descriptors, good and malformed.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "usb/libusb/kxMsOsDescriptors.h"

namespace {

using kx::Guid;
using kx::MsOsDescriptors;
using Bytes = std::vector<uint8_t>;

constexpr std::string_view kGuidA = "{07039751-9D61-46F3-98BD-B4B79AD56B6B}";
constexpr std::string_view kGuidB = "{B03B64F8-3F1D-4C55-8248-F0C43B287654}";
constexpr std::string_view kMsOs20Uuid = "{D8DD60DF-4589-4CC7-9CD2-659D9E648A9F}";

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegMultiSz = 7;

Guid guid(std::string_view text) {
    return *Guid::parse(text);
}

void put16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(Bytes& out, uint32_t value) {
    put16(out, static_cast<uint16_t>(value));
    put16(out, static_cast<uint16_t>(value >> 16));
}

void set16(Bytes& bytes, std::size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void set32(Bytes& bytes, std::size_t offset, uint32_t value) {
    set16(bytes, offset, static_cast<uint16_t>(value));
    set16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// UTF-16LE text without a terminator.
Bytes utf16(std::string_view text) {
    Bytes out;
    for (const char c : text) {
        put16(out, static_cast<uint8_t>(c));
    }
    return out;
}

// A REG_SZ value or a property name: the text and its NUL.
Bytes utf16z(std::string_view text) {
    Bytes out = utf16(text);
    put16(out, 0);
    return out;
}

// A REG_MULTI_SZ value: each string with its NUL, then the empty string.
Bytes multiSz(std::initializer_list<std::string_view> strings) {
    Bytes out;
    for (const auto text : strings) {
        append(out, utf16z(text));
    }
    put16(out, 0);
    return out;
}

struct Property {
    uint32_t type;
    Bytes name;
    Bytes value;
};

// The 1.0 extended properties descriptor of the properties. The first section starts at 10:
// dwSize +0, dwPropertyDataType +4, wPropertyNameLength +8, name +10, dwPropertyDataLength after.
Bytes extendedProperties(const std::vector<Property>& properties) {
    Bytes out;
    put32(out, 0);
    put16(out, 0x0100);
    put16(out, 0x0005);
    put16(out, static_cast<uint16_t>(properties.size()));
    for (const Property& p : properties) {
        put32(out, static_cast<uint32_t>(14 + p.name.size() + p.value.size()));
        put32(out, p.type);
        put16(out, static_cast<uint16_t>(p.name.size()));
        append(out, p.name);
        put32(out, static_cast<uint32_t>(p.value.size()));
        append(out, p.value);
    }
    set32(out, 0, static_cast<uint32_t>(out.size()));
    return out;
}

std::optional<std::vector<Guid>> parseProperties(const Bytes& bytes) {
    return MsOsDescriptors::extendedPropertiesGuids(bytes);
}

// A 2.0 registry property descriptor: wLength +0, type +2, wPropertyDataType +4,
// wPropertyNameLength +6, name +8, wPropertyDataLength after.
Bytes registryProperty(uint16_t type, const Bytes& name, const Bytes& value) {
    Bytes out;
    put16(out, static_cast<uint16_t>(10 + name.size() + value.size()));
    put16(out, 0x0004);
    put16(out, type);
    put16(out, static_cast<uint16_t>(name.size()));
    append(out, name);
    put16(out, static_cast<uint16_t>(value.size()));
    append(out, value);
    return out;
}

// A 2.0 descriptor set: header (10 bytes), the device-level descriptors, then, when function
// is not empty, a configuration subset holding one function subset holding function.
Bytes descriptorSet(const Bytes& device, const Bytes& function = {}) {
    Bytes out;
    put16(out, 10);
    put16(out, 0x0000);
    put32(out, 0x06030000);
    put16(out, 0);
    append(out, device);
    if (!function.empty()) {
        put16(out, 8);
        put16(out, 0x0001);
        out.push_back(0);  // configuration index
        out.push_back(0);
        put16(out, static_cast<uint16_t>(16 + function.size()));
        put16(out, 8);
        put16(out, 0x0002);
        out.push_back(0);  // first interface
        out.push_back(0);
        put16(out, static_cast<uint16_t>(8 + function.size()));
        append(out, function);
    }
    set16(out, 8, static_cast<uint16_t>(out.size()));
    return out;
}

struct SetInfo {
    uint32_t windowsVersion;
    uint16_t setLength;
    uint8_t vendorCode;
};

Bytes platformCapability(std::string_view uuid, const std::vector<SetInfo>& sets) {
    Bytes out = {0, 0x10, 0x05, 0x00};
    const auto bytes = guid(uuid).bytes();
    out.insert(out.end(), bytes.begin(), bytes.end());
    for (const SetInfo& set : sets) {
        put32(out, set.windowsVersion);
        put16(out, set.setLength);
        out.push_back(set.vendorCode);
        out.push_back(0);  // alternate enumeration code
    }
    out[0] = static_cast<uint8_t>(out.size());
    return out;
}

Bytes bos(const std::vector<Bytes>& capabilities) {
    Bytes out = {5, 0x0F, 0, 0, static_cast<uint8_t>(capabilities.size())};
    for (const Bytes& capability : capabilities) {
        append(out, capability);
    }
    set16(out, 2, static_cast<uint16_t>(out.size()));
    return out;
}

// A USB 2.0 extension capability, to stand beside the platform capability.
const Bytes kUsb2Extension = {7, 0x10, 0x02, 0x02, 0x00, 0x00, 0x00};

// ---------------------------------------------------------------------------------------------
// 1.0: the 0xEE string descriptor

const Bytes kOsString = {0x12, 0x03, 'M', 0,   'S', 0,   'F', 0,    'T',
                         0,    '1',  0,   '0', 0,   '0', 0,   0x42, 0x00};

TEST(MsOsString, ReadsTheVendorCode) {
    EXPECT_EQ(MsOsDescriptors::osStringVendorCode(kOsString), 0x42);
    // The pad byte is not needed; bytes past bLength are not looked at.
    Bytes noPad(kOsString.begin(), kOsString.end() - 1);
    noPad[0] = 0x11;
    EXPECT_EQ(MsOsDescriptors::osStringVendorCode(noPad), 0x42);
    Bytes extra = kOsString;
    extra.push_back(0xFF);
    EXPECT_EQ(MsOsDescriptors::osStringVendorCode(extra), 0x42);
}

TEST(MsOsString, RejectsOtherStringsAndWrongHeaders) {
    Bytes other = kOsString;
    other[12] = '2';  // "MSFT200"
    EXPECT_FALSE(MsOsDescriptors::osStringVendorCode(other));
    Bytes lowerCase = kOsString;
    lowerCase[2] = 'm';
    EXPECT_FALSE(MsOsDescriptors::osStringVendorCode(lowerCase));
    Bytes notString = kOsString;
    notString[1] = 0x02;
    EXPECT_FALSE(MsOsDescriptors::osStringVendorCode(notString));
}

TEST(MsOsString, RejectsShortAndLyingLengths) {
    EXPECT_FALSE(MsOsDescriptors::osStringVendorCode(Bytes{}));
    EXPECT_FALSE(MsOsDescriptors::osStringVendorCode(Bytes{0x12}));
    // bLength claims 18 bytes, 17 arrived.
    EXPECT_FALSE(
        MsOsDescriptors::osStringVendorCode(Bytes(kOsString.begin(), kOsString.end() - 1)));
    // bLength stops before the vendor code although the bytes are there.
    Bytes shortLength = kOsString;
    shortLength[0] = 16;
    EXPECT_FALSE(MsOsDescriptors::osStringVendorCode(shortLength));
}

// ---------------------------------------------------------------------------------------------
// 1.0: the extended properties descriptor

TEST(MsOsExtendedProperties, ReadsARegSzGuid) {
    const Bytes bytes =
        extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUID"), utf16z(kGuidA)}});
    EXPECT_EQ(MsOsDescriptors::extendedPropertiesLength(Bytes(bytes.begin(), bytes.begin() + 10)),
              bytes.size());
    EXPECT_EQ(parseProperties(bytes), std::vector<Guid>{guid(kGuidA)});
}

TEST(MsOsExtendedProperties, ReadsBothGuidsOfARegMultiSz) {
    const Bytes bytes = extendedProperties(
        {{kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), multiSz({kGuidA, kGuidB})}});
    EXPECT_EQ(parseProperties(bytes), (std::vector<Guid>{guid(kGuidA), guid(kGuidB)}));
}

TEST(MsOsExtendedProperties, PassesOverOtherPropertiesAndNonGuidText) {
    const Bytes bytes = extendedProperties({
        {kRegSz, utf16z("Label"), utf16z(kGuidB)},  // a GUID, but not under a GUID name
        {kRegBinary, utf16z("DeviceInterfaceGUID"), Bytes{1, 2, 3}},
        {kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), multiSz({"not a guid", kGuidA})},
    });
    EXPECT_EQ(parseProperties(bytes), std::vector<Guid>{guid(kGuidA)});
}

TEST(MsOsExtendedProperties, MatchesNamesInAnyCaseAndDropsRepeats) {
    const Bytes bytes = extendedProperties({
        {kRegSz, utf16z("deviceinterfaceguid"), utf16z(kGuidB)},
        {kRegMultiSz, utf16z("DEVICEINTERFACEGUIDS"), multiSz({kGuidA, kGuidB, kGuidA})},
    });
    EXPECT_EQ(parseProperties(bytes), (std::vector<Guid>{guid(kGuidB), guid(kGuidA)}));
    // A longer name that starts with a GUID property name is another property.
    EXPECT_EQ(parseProperties(
                  extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUIDsX"), utf16z(kGuidA)}})),
              std::vector<Guid>{});
}

TEST(MsOsExtendedProperties, WellFormedWithoutGuidGivesEmptyList) {
    EXPECT_EQ(parseProperties(extendedProperties({})), std::vector<Guid>{});
    // An empty REG_MULTI_SZ is just the list terminator; an empty REG_SZ a lone NUL.
    EXPECT_EQ(parseProperties(
                  extendedProperties({{kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), Bytes{0, 0}},
                                      {kRegSz, utf16z("DeviceInterfaceGUID"), Bytes{0, 0}}})),
              std::vector<Guid>{});
}

TEST(MsOsExtendedProperties, RegSzEndsAtItsFirstNul) {
    Bytes value = utf16z(kGuidA);
    append(value, utf16z(kGuidB));
    EXPECT_EQ(parseProperties(extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUID"), value}})),
              std::vector<Guid>{guid(kGuidA)});
}

TEST(MsOsExtendedProperties, RejectsWrongHeaders) {
    const Bytes good =
        extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUID"), utf16z(kGuidA)}});
    Bytes wrongIndex = good;
    set16(wrongIndex, 6, 0x0004);
    EXPECT_FALSE(parseProperties(wrongIndex));
    EXPECT_FALSE(MsOsDescriptors::extendedPropertiesLength(wrongIndex));
    Bytes wrongVersion = good;
    set16(wrongVersion, 4, 0x0200);
    EXPECT_FALSE(parseProperties(wrongVersion));
    Bytes tooShort = good;
    set32(tooShort, 0, 9);
    EXPECT_FALSE(MsOsDescriptors::extendedPropertiesLength(tooShort));
    EXPECT_FALSE(MsOsDescriptors::extendedPropertiesLength(Bytes(good.begin(), good.begin() + 9)));
}

TEST(MsOsExtendedProperties, RejectsEveryTruncation) {
    const Bytes good = extendedProperties(
        {{kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), multiSz({kGuidA, kGuidB})}});
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(parseProperties(Bytes(good.begin(), good.begin() + size))) << size;
    }
}

TEST(MsOsExtendedProperties, RejectsLengthsThatLie) {
    const Bytes good =
        extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUID"), utf16z(kGuidA)}});
    const std::size_t nameLength = utf16z("DeviceInterfaceGUID").size();
    const std::size_t dataLengthAt = 20 + nameLength;

    Bytes totalTooShort = good;  // dwLength ends inside the section
    set32(totalTooShort, 0, static_cast<uint32_t>(good.size() - 2));
    EXPECT_FALSE(parseProperties(totalTooShort));
    Bytes moreSections = good;  // wCount claims a second section
    set16(moreSections, 8, 2);
    EXPECT_FALSE(parseProperties(moreSections));
    Bytes sectionTooLong = good;
    set32(sectionTooLong, 10, static_cast<uint32_t>(good.size()));
    EXPECT_FALSE(parseProperties(sectionTooLong));
    Bytes sectionTooShort = good;  // dwSize ends before the value does
    set32(sectionTooShort, 10, static_cast<uint32_t>(good.size() - 10 - 2));
    EXPECT_FALSE(parseProperties(sectionTooShort));
    Bytes sectionInsideItsHeader = good;
    set32(sectionInsideItsHeader, 10, 4);
    EXPECT_FALSE(parseProperties(sectionInsideItsHeader));
    Bytes nameTooLong = good;
    set16(nameTooLong, 18, 0xFFFE);
    EXPECT_FALSE(parseProperties(nameTooLong));
    Bytes dataTooLong = good;
    set32(dataTooLong, dataLengthAt, 0xFFFFFFF0);
    EXPECT_FALSE(parseProperties(dataTooLong));
}

TEST(MsOsExtendedProperties, RejectsBadGuidPropertyText) {
    Bytes oddValue = utf16z(kGuidA);
    oddValue.push_back(0);
    EXPECT_FALSE(
        parseProperties(extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUID"), oddValue}})));
    EXPECT_FALSE(parseProperties(
        extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUID"), utf16(kGuidA)}})));
    EXPECT_FALSE(
        parseProperties(extendedProperties({{kRegSz, utf16z("DeviceInterfaceGUID"), Bytes{}}})));
    // The last string of a list runs to the end without its NUL.
    Bytes unterminatedList = utf16z(kGuidA);
    append(unterminatedList, utf16(kGuidB));
    EXPECT_FALSE(parseProperties(
        extendedProperties({{kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), unterminatedList}})));
    // Names must be terminated UTF-16 too.
    EXPECT_FALSE(parseProperties(
        extendedProperties({{kRegSz, utf16("DeviceInterfaceGUID"), utf16z(kGuidA)}})));
    Bytes oddName = utf16z("DeviceInterfaceGUID");
    oddName.push_back(0);
    EXPECT_FALSE(parseProperties(extendedProperties({{kRegSz, oddName, utf16z(kGuidA)}})));
}

TEST(MsOsExtendedProperties, AcceptsAListMissingOnlyItsFinalEmptyString) {
    Bytes value = utf16z(kGuidA);
    append(value, utf16z(kGuidB));
    EXPECT_EQ(
        parseProperties(extendedProperties({{kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), value}})),
        (std::vector<Guid>{guid(kGuidA), guid(kGuidB)}));
}

// ---------------------------------------------------------------------------------------------
// 2.0: the BOS platform capability

TEST(MsOsBos, FindsTheDescriptorSetBesideOtherCapabilities) {
    const Bytes bytes =
        bos({kUsb2Extension,
             platformCapability("{3408B638-09A9-47A0-8BFD-A0768815B665}", {{0, 0x1234, 0x01}}),
             platformCapability(kMsOs20Uuid, {{0x06030000, 0x00B2, 0x20}})});
    EXPECT_EQ(MsOsDescriptors::bosTotalLength(Bytes(bytes.begin(), bytes.begin() + 5)),
              bytes.size());
    const auto info = MsOsDescriptors::bosDescriptorSetInfo(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->vendorCode, 0x20);
    EXPECT_EQ(info->setLength, 0x00B2);
}

TEST(MsOsBos, TakesTheSetOfTheNewestWindowsVersion) {
    const auto info = MsOsDescriptors::bosDescriptorSetInfo(bos({platformCapability(
        kMsOs20Uuid,
        {{0x06030000, 100, 0x01}, {0x0A000000, 200, 0x02}, {0x06020000, 300, 0x03}})}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->vendorCode, 0x02);
    EXPECT_EQ(info->setLength, 200);
    // The newest version wins across capabilities too; short sets are passed over.
    const auto split = MsOsDescriptors::bosDescriptorSetInfo(
        bos({platformCapability(kMsOs20Uuid, {{0x06030000, 100, 0x01}}),
             platformCapability(kMsOs20Uuid, {{0x0B000000, 4, 0x05}, {0x0A000000, 50, 0x04}})}));
    ASSERT_TRUE(split);
    EXPECT_EQ(split->vendorCode, 0x04);
    EXPECT_EQ(split->setLength, 50);
}

TEST(MsOsBos, HasNoSetWithoutAUsableCapability) {
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(bos({kUsb2Extension})));
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(bos({})));
    // A set shorter than its own header cannot be fetched.
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(
        bos({platformCapability(kMsOs20Uuid, {{0x06030000, 9, 0x01}})})));
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(bos({platformCapability(kMsOs20Uuid, {})})));
}

TEST(MsOsBos, RejectsMalformedDescriptors) {
    const Bytes good = bos({kUsb2Extension, platformCapability(kMsOs20Uuid, {{0, 0x40, 0x01}})});
    ASSERT_TRUE(MsOsDescriptors::bosDescriptorSetInfo(good));
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(
            MsOsDescriptors::bosDescriptorSetInfo(Bytes(good.begin(), good.begin() + size)))
            << size;
    }
    Bytes wrongType = good;
    wrongType[1] = 0x02;
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(wrongType));
    Bytes totalBeforeHeaderEnd = good;
    set16(totalBeforeHeaderEnd, 2, 4);
    EXPECT_FALSE(MsOsDescriptors::bosTotalLength(totalBeforeHeaderEnd));
    Bytes moreCapabilities = good;
    moreCapabilities[4] = 3;
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(moreCapabilities));
    Bytes zeroLength = good;  // the first capability's bLength
    zeroLength[5] = 0;
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(zeroLength));
    Bytes pastTheEnd = good;  // the platform capability's bLength runs past wTotalLength
    pastTheEnd[5 + kUsb2Extension.size()] += 8;
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(pastTheEnd));
    Bytes notCapability = good;
    notCapability[6] = 0x04;
    EXPECT_FALSE(MsOsDescriptors::bosDescriptorSetInfo(notCapability));
}

// ---------------------------------------------------------------------------------------------
// 2.0: the descriptor set

const Bytes kFunctionGuids =
    registryProperty(kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), multiSz({kGuidA, kGuidB}));

TEST(MsOsDescriptorSet, ReadsDeviceLevelGuids) {
    const Bytes set =
        descriptorSet(registryProperty(kRegSz, utf16z("DeviceInterfaceGUID"), utf16z(kGuidB)));
    EXPECT_EQ(MsOsDescriptors::descriptorSetGuids(set), std::vector<Guid>{guid(kGuidB)});
}

TEST(MsOsDescriptorSet, ReadsGuidsInsideFunctionSubsets) {
    // A compatible ID descriptor and another property before the GUIDs.
    Bytes function = {20, 0, 0x03, 0, 'W', 'I', 'N', 'U', 'S', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    append(function, registryProperty(kRegSz, utf16z("Label"), utf16z("camera")));
    append(function, kFunctionGuids);
    EXPECT_EQ(MsOsDescriptors::descriptorSetGuids(descriptorSet({}, function)),
              (std::vector<Guid>{guid(kGuidA), guid(kGuidB)}));
    EXPECT_EQ(MsOsDescriptors::descriptorSetGuids(descriptorSet({})), std::vector<Guid>{});
}

TEST(MsOsDescriptorSet, RejectsWrongHeadersAndEveryTruncation) {
    const Bytes good = descriptorSet({}, kFunctionGuids);
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(Bytes(good.begin(), good.begin() + size)))
            << size;
    }
    Bytes wrongType = good;
    set16(wrongType, 2, 0x0001);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(wrongType));
    Bytes wrongLength = good;
    set16(wrongLength, 0, 12);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(wrongLength));
    Bytes totalInsideHeader = good;
    set16(totalInsideHeader, 8, 8);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(totalInsideHeader));
}

TEST(MsOsDescriptorSet, RejectsLengthsThatLie) {
    const Bytes good = descriptorSet({}, kFunctionGuids);
    constexpr std::size_t kConfiguration = 10;
    constexpr std::size_t kFunction = 18;
    constexpr std::size_t kProperty = 26;
    ASSERT_TRUE(MsOsDescriptors::descriptorSetGuids(good));

    Bytes zeroLength = good;  // would never advance
    set16(zeroLength, kConfiguration, 0);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(zeroLength));
    Bytes configurationTooLong = good;
    set16(configurationTooLong, kConfiguration + 6, static_cast<uint16_t>(good.size()));
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(configurationTooLong));
    Bytes functionHeaderTooShort = good;
    set16(functionHeaderTooShort, kFunction, 6);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(functionHeaderTooShort));
    Bytes functionTooShort = good;  // shorter than its own header
    set16(functionTooShort, kFunction + 6, 4);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(functionTooShort));
    Bytes propertyTooLong = good;
    set16(propertyTooLong, kProperty, static_cast<uint16_t>(kFunctionGuids.size() + 2));
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(propertyTooLong));
    Bytes propertyTooShort = good;  // wLength ends before the value does
    set16(propertyTooShort, kProperty, static_cast<uint16_t>(kFunctionGuids.size() - 2));
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(propertyTooShort));
    Bytes propertyInsideItsHeader = good;  // wLength ends before wPropertyNameLength
    set16(propertyInsideItsHeader, kProperty, 6);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(propertyInsideItsHeader));
    Bytes nameTooLong = good;
    set16(nameTooLong, kProperty + 6, 0xFFFE);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(nameTooLong));
    Bytes valueTooLong = good;
    set16(valueTooLong, kProperty + 8 + utf16z("DeviceInterfaceGUIDs").size(), 0xFFFE);
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(valueTooLong));
}

TEST(MsOsDescriptorSet, RejectsBadGuidPropertyText) {
    Bytes oddValue = multiSz({kGuidA});
    oddValue.pop_back();
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(
        descriptorSet(registryProperty(kRegMultiSz, utf16z("DeviceInterfaceGUIDs"), oddValue))));
    EXPECT_FALSE(MsOsDescriptors::descriptorSetGuids(
        descriptorSet(registryProperty(kRegSz, utf16z("DeviceInterfaceGUID"), utf16(kGuidA)))));
}

}  // namespace
