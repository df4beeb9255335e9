// The transport interface: the platform operations the camera library needs from a USB stack.
//
// One backend object serves the whole process. Backends translate their platform's errors once,
// here at the edge: a failing operation sets the calling thread's platform error code (an errno
// value, kxPlatformError.h) and reports failure; the logic above never sees a backend's own codes.
#pragma once

#include <string>

#include "kxGuid.h"

namespace kx {

enum class EnumResult {
    Found,        // the interface exists; its path was written
    NoMoreItems,  // the index is past the last present interface of the GUID
    Failed,       // this index could not be read (platform error set); later ones may still be
};

class UsbBackend {
public:
    virtual ~UsbBackend() = default;

    // The backend's name as KXCX_BACKEND spells it.
    virtual const char* name() const = 0;

    // Enumeration: the path of the memberIndex-th present interface (0-based) exposing the
    // device interface GUID, in the backend's stable order. Paths are backend-defined; the sim
    // backend's read "sim:<model>:<n>".
    // May block briefly (the libusb backend reads descriptors); takes the backend's own lock.
    virtual EnumResult interfacePath(const Guid& interfaceGuid, int memberIndex,
                                     std::string& path) = 0;
};

}  // namespace kx
