// Device descriptors come from whatever is plugged in: every parser must take any bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "usb/libusb/kxMsOsDescriptors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    using kx::MsOsDescriptors;
    (void)MsOsDescriptors::osStringVendorCode(bytes);
    (void)MsOsDescriptors::extendedPropertiesLength(bytes);
    (void)MsOsDescriptors::extendedPropertiesGuids(bytes);
    (void)MsOsDescriptors::bosTotalLength(bytes);
    (void)MsOsDescriptors::bosDescriptorSetInfo(bytes);
    (void)MsOsDescriptors::descriptorSetGuids(bytes);
    return 0;
}
