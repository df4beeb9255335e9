#include "usb/libusb/kxLibusbBackend.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <iostream>
#include <tuple>

#include "usb/kxPlatformError.h"
#include "usb/libusb/kxLibusbDevice.h"
#include "usb/libusb/kxLibusbError.h"
#include "usb/libusb/kxLibusbEventThread.h"
#include "usb/libusb/kxLibusbHotplug.h"
#include "usb/libusb/kxMsOsDescriptors.h"

namespace kx {

namespace {

// The deepest port path a device can have: seven tiers below the root hub.
constexpr int kMaxPortDepth = 7;

// bmRequestType of the IN requests made here: direction, type and recipient.
constexpr uint8_t kDeviceToHostStandard = 0x80;   // standard, device
constexpr uint8_t kVendorToHostDevice = 0xC0;     // vendor, device
constexpr uint8_t kVendorToHostInterface = 0xC1;  // vendor, interface

// Reads up to length bytes with one IN control request; the bytes received, empty on failure.
std::vector<uint8_t> controlIn(libusb_device_handle* handle, uint8_t requestType, uint8_t request,
                               uint16_t value, uint16_t index, uint16_t length) {
    std::vector<uint8_t> data(length);
    const int received =
        libusb_control_transfer(handle, requestType, request, value, index, data.data(), length,
                                LibusbBackend::kDescriptorTimeoutMs);
    data.resize(received > 0 ? static_cast<std::size_t>(received) : 0);
    return data;
}

std::vector<uint8_t> standardDescriptor(libusb_device_handle* handle, uint8_t type, uint8_t index,
                                        uint16_t languageId, uint16_t length) {
    return controlIn(handle, kDeviceToHostStandard, LIBUSB_REQUEST_GET_DESCRIPTOR,
                     static_cast<uint16_t>(type << 8 | index), languageId, length);
}

void appendNew(const std::vector<Guid>& from, std::vector<Guid>& to) {
    for (const Guid& guid : from) {
        if (std::find(to.begin(), to.end(), guid) == to.end()) {
            to.push_back(guid);
        }
    }
}

// The GUIDs of the 2.0 descriptor set, reached through the BOS.
std::vector<Guid> descriptorSetGuids(libusb_device_handle* handle) {
    const auto header =
        standardDescriptor(handle, LIBUSB_DT_BOS, 0, 0, MsOsDescriptors::kBosHeaderLength);
    const auto total = MsOsDescriptors::bosTotalLength(header);
    if (!total) {
        return {};
    }
    const auto bos = standardDescriptor(handle, LIBUSB_DT_BOS, 0, 0, *total);
    const auto info = MsOsDescriptors::bosDescriptorSetInfo(bos);
    if (!info) {
        return {};
    }
    const auto set = controlIn(handle, kVendorToHostDevice, info->vendorCode, 0,
                               MsOsDescriptors::kDescriptorSetIndex, info->setLength);
    return MsOsDescriptors::descriptorSetGuids(set).value_or(std::vector<Guid>{});
}

// The GUIDs of one extended properties descriptor: the header for the length, then the whole.
std::optional<std::vector<Guid>> extendedPropertiesGuids(libusb_device_handle* handle,
                                                         uint8_t requestType, uint8_t vendorCode,
                                                         uint8_t interfaceNumber) {
    const uint16_t value = static_cast<uint16_t>(interfaceNumber << 8);  // page 0
    const auto header =
        controlIn(handle, requestType, vendorCode, value, MsOsDescriptors::kExtendedPropertiesIndex,
                  MsOsDescriptors::kExtendedPropertiesHeaderLength);
    const auto length = MsOsDescriptors::extendedPropertiesLength(header);
    if (!length || *length > UINT16_MAX) {
        return std::nullopt;
    }
    const auto descriptor =
        controlIn(handle, requestType, vendorCode, value, MsOsDescriptors::kExtendedPropertiesIndex,
                  static_cast<uint16_t>(*length));
    return MsOsDescriptors::extendedPropertiesGuids(descriptor);
}

// The interface numbers of the active configuration; interface 0 when it cannot be read.
std::vector<uint8_t> interfaceNumbers(libusb_device* device) {
    std::vector<uint8_t> numbers;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) == LIBUSB_SUCCESS) {
        for (int i = 0; i < config->bNumInterfaces; ++i) {
            const libusb_interface& interface = config->interface[i];
            if (interface.num_altsetting > 0) {
                numbers.push_back(interface.altsetting[0].bInterfaceNumber);
            }
        }
        libusb_free_config_descriptor(config);
    }
    if (numbers.empty()) {
        numbers.push_back(0);
    }
    return numbers;
}

// The GUIDs of the 1.0 descriptors: asked of each interface, and of the device when the first
// interface does not answer the interface-targeted request.
std::vector<Guid> osStringGuids(libusb_device* device, libusb_device_handle* handle) {
    const auto osString =
        standardDescriptor(handle, LIBUSB_DT_STRING, MsOsDescriptors::kOsStringIndex, 0,
                           MsOsDescriptors::kOsStringLength);
    const auto vendorCode = MsOsDescriptors::osStringVendorCode(osString);
    if (!vendorCode) {
        return {};
    }
    std::vector<Guid> guids;
    bool first = true;
    for (const uint8_t number : interfaceNumbers(device)) {
        auto found = extendedPropertiesGuids(handle, kVendorToHostInterface, *vendorCode, number);
        if (!found && first) {
            found = extendedPropertiesGuids(handle, kVendorToHostDevice, *vendorCode, number);
        }
        if (found) {
            appendNew(*found, guids);
        }
        first = false;
    }
    return guids;
}

// Opens the device briefly and reads its GUIDs: from the 2.0 descriptors when the device has
// them, otherwise from the 1.0 ones. nullopt when the device cannot be opened; openResult
// receives libusb_open's code.
std::optional<std::vector<Guid>> readGuids(libusb_device* device,
                                           const libusb_device_descriptor& descriptor,
                                           int& openResult) {
    libusb_device_handle* handle = nullptr;
    openResult = libusb_open(device, &handle);
    if (openResult != LIBUSB_SUCCESS) {
        return std::nullopt;
    }
    std::vector<Guid> guids;
    if (descriptor.bcdUSB >= 0x0201) {
        guids = descriptorSetGuids(handle);
    }
    if (guids.empty()) {
        guids = osStringGuids(device, handle);
    }
    libusb_close(handle);
    return guids;
}

}  // namespace

LibusbBackend::LibusbBackend()
    : m_matcher(BoardMatcher::load(DeviceMap::defaultPath(), std::cerr)) {
    const int result = libusb_init(&m_context);
    if (result != LIBUSB_SUCCESS) {
        m_context = nullptr;
        m_initError = LibusbError::toErrno(result);
        return;
    }
    m_events = std::make_unique<LibusbEventThread>(m_context);
    m_hotplug = std::make_unique<LibusbHotplug>(
        m_context, [this](libusb_device* device) { return readArrival(device); },
        [this](const std::string& path) { return enumeratedModel(path); });
}

LibusbBackend::~LibusbBackend() {
    // The hot-plug worker may still read a device; then no callback may come any more.
    m_hotplug.reset();
    m_events.reset();
    if (m_context != nullptr) {
        libusb_exit(m_context);
    }
}

std::string LibusbBackend::devicePath(libusb_device* device) {
    std::array<uint8_t, kMaxPortDepth> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), kMaxPortDepth);
    if (depth <= 0) {
        return {};
    }
    return devicePath(libusb_get_bus_number(device),
                      std::span<const uint8_t>(ports.data(), static_cast<std::size_t>(depth)));
}

std::string LibusbBackend::devicePath(uint8_t bus, std::span<const uint8_t> ports) {
    std::string path = "usb:" + std::to_string(bus);
    char separator = '-';
    for (const uint8_t port : ports) {
        path += separator;
        path += std::to_string(port);
        separator = '.';
    }
    return path;
}

int LibusbBackend::refreshSnapshot() {
    m_snapshot.clear();
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(m_context, &list);
    if (count < 0) {
        return static_cast<int>(count);
    }
    std::map<std::string, Reading> readings;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device* device = list[i];
        libusb_device_descriptor descriptor{};
        std::array<uint8_t, kMaxPortDepth> ports{};
        const int depth = libusb_get_port_numbers(device, ports.data(), kMaxPortDepth);
        if (depth <= 0 || libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS ||
            descriptor.bDeviceClass == LIBUSB_CLASS_HUB) {
            continue;
        }
        Member member;
        member.bus = libusb_get_bus_number(device);
        member.ports.assign(ports.begin(), ports.begin() + depth);
        member.path = devicePath(member.bus, member.ports);

        auto guids = guidsLocked(device, descriptor, member.path, readings);
        if (!guids) {
            continue;  // not opened; asked again next time
        }
        member.guids = std::move(*guids);
        member.model = m_matcher.label(descriptor.idVendor, descriptor.idProduct, member.guids);
        m_snapshot.push_back(std::move(member));
    }
    libusb_free_device_list(list, 1);
    // Devices that left are forgotten, so one that comes back is read again.
    m_readings = std::move(readings);
    std::sort(m_snapshot.begin(), m_snapshot.end(), [](const Member& a, const Member& b) {
        return std::tie(a.bus, a.ports) < std::tie(b.bus, b.ports);
    });
    return LIBUSB_SUCCESS;
}

std::optional<std::vector<Guid>> LibusbBackend::guidsLocked(
    libusb_device* device, const libusb_device_descriptor& descriptor, const std::string& path,
    std::map<std::string, Reading>& into) {
    if (const auto mapped = m_matcher.mappedGuid(descriptor.idVendor, descriptor.idProduct)) {
        return std::vector<Guid>{*mapped};
    }
    Reading reading{libusb_get_device_address(device),
                    descriptor.idVendor,
                    descriptor.idProduct,
                    descriptor.bcdDevice,
                    {}};
    const auto known = m_readings.find(path);
    if (known != m_readings.end() && known->second.address == reading.address &&
        known->second.vendorId == reading.vendorId &&
        known->second.productId == reading.productId && known->second.release == reading.release) {
        reading.guids = known->second.guids;
    } else {
        int openResult = LIBUSB_SUCCESS;
        auto guids = readGuids(device, descriptor, openResult);
        noteOpen(device, openResult);
        if (!guids) {
            return std::nullopt;
        }
        reading.guids = std::move(*guids);
    }
    std::vector<Guid> guids = reading.guids;
    into.insert_or_assign(path, std::move(reading));
    return guids;
}

EnumResult LibusbBackend::interfacePath(const Guid& interfaceGuid, int memberIndex,
                                        std::string& path) {
    std::lock_guard<std::mutex> lock(m_enumMutex);
    if (m_context == nullptr) {
        setLastPlatformError(m_initError);
        return EnumResult::NoMoreItems;
    }
    if (memberIndex < 0) {
        return EnumResult::NoMoreItems;
    }
    if (memberIndex == 0 || m_snapshotGuid != interfaceGuid) {
        m_snapshotGuid = interfaceGuid;
        const int result = refreshSnapshot();
        if (result != LIBUSB_SUCCESS) {
            LibusbError::setLastError(result);
            return EnumResult::Failed;
        }
    }
    int index = 0;
    for (const Member& member : m_snapshot) {
        if (std::find(member.guids.begin(), member.guids.end(), interfaceGuid) ==
            member.guids.end()) {
            continue;
        }
        if (index++ == memberIndex) {
            path = member.path;
            return EnumResult::Found;
        }
    }
    return EnumResult::NoMoreItems;
}

std::unique_ptr<UsbDevice> LibusbBackend::open(const std::string& path) {
    if (m_context == nullptr) {
        setLastPlatformError(m_initError);
        return nullptr;
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(m_context, &list);
    if (count < 0) {
        LibusbError::setLastError(static_cast<int>(count));
        return nullptr;
    }
    libusb_device* device = nullptr;
    for (ssize_t i = 0; i < count && device == nullptr && !path.empty(); ++i) {
        if (devicePath(list[i]) == path) {
            device = list[i];
        }
    }
    libusb_device_handle* handle = nullptr;
    int result = LIBUSB_ERROR_NO_DEVICE;
    if (device != nullptr) {
        result = libusb_open(device, &handle);
        noteOpen(device, result);
    }
    std::vector<LibusbDevice::Setting> settings;
    if (result == LIBUSB_SUCCESS) {
        libusb_config_descriptor* config = nullptr;
        result = libusb_get_active_config_descriptor(device, &config);
        if (result == LIBUSB_SUCCESS) {
            settings = LibusbDevice::interfaceSettings(*config, 0);
            libusb_free_config_descriptor(config);
            if (settings.empty()) {
                result = LIBUSB_ERROR_NO_DEVICE;  // not a board: no interface 0
            }
        }
    }
    libusb_free_device_list(list, 1);  // an open handle keeps its device
    if (result == LIBUSB_SUCCESS) {
        if (libusb_has_capability(LIBUSB_CAP_SUPPORTS_DETACH_KERNEL_DRIVER) != 0) {
            libusb_set_auto_detach_kernel_driver(handle, 1);
        }
        result = libusb_claim_interface(handle, 0);
    }
    if (result != LIBUSB_SUCCESS) {
        if (handle != nullptr) {
            libusb_close(handle);
        }
        LibusbError::setLastError(result);
        return nullptr;
    }
    m_events->start();
    return std::make_unique<LibusbDevice>(handle, std::move(settings));
}

bool LibusbBackend::setHotplugHandler(HotplugHandler handler) {
    if (m_context == nullptr) {
        if (!handler) {
            return true;
        }
        setLastPlatformError(m_initError);
        return false;
    }
    if (handler) {
        m_events->start();
    }
    return m_hotplug->setHandler(std::move(handler));
}

void LibusbBackend::noteOpen(libusb_device* device, int openResult) {
    const uint8_t bus = libusb_get_bus_number(device);
    const uint8_t address = libusb_get_device_address(device);
    if (openResult == LIBUSB_SUCCESS) {
        m_accessNotices.opened(bus, address);
    } else if (openResult == LIBUSB_ERROR_ACCESS) {
        m_accessNotices.tell(bus, address);
    }
}

LibusbHotplug::Arrival LibusbBackend::readArrival(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS ||
        descriptor.bDeviceClass == LIBUSB_CLASS_HUB) {
        return {true, std::nullopt};
    }
    const std::string path = devicePath(device);
    std::lock_guard<std::mutex> lock(m_enumMutex);
    const auto guids = guidsLocked(device, descriptor, path, m_readings);
    if (!guids) {
        return {false, std::nullopt};
    }
    return {true, m_matcher.label(descriptor.idVendor, descriptor.idProduct, *guids)};
}

std::optional<std::string> LibusbBackend::enumeratedModel(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_enumMutex);
    const auto member = std::find_if(m_snapshot.begin(), m_snapshot.end(),
                                     [&](const Member& each) { return each.path == path; });
    return member == m_snapshot.end() ? std::nullopt : member->model;
}

void LibusbBackend::setModelGuids(std::map<std::string, Guid> labelToGuid) {
    m_matcher.setModels(std::move(labelToGuid), std::cerr);
}

}  // namespace kx
