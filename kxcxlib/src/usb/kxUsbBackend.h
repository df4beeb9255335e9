// The transport interface: the platform operations the camera library needs from a USB stack.
//
// One backend object serves the whole process; it opens devices as UsbDevice objects. Backends
// translate their platform's errors once, here at the edge: a failing operation returns false
// (or null) and sets the calling thread's platform error code (an errno value, kxPlatformError.h):
//   ENODEV     the device is gone (unplugged)
//   ETIMEDOUT  the transfer did not complete within the pipe's time-out
//   EPIPE      the device stalled the request or pipe
//   ECANCELED  the transfer was aborted (abortPipe, close)
//   EINVAL     a pipe id or argument the device does not have
//   EIO        any other transfer failure
// The logic above never sees a backend's own codes.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "usb/kxGuid.h"

namespace kx {

class Event;

enum class EnumResult {
    Found,        // the interface exists; its path was written
    NoMoreItems,  // the index is past the last present interface of the GUID
    Failed,       // this index could not be read (platform error set); later ones may still be
};

enum class PipeType : uint8_t { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

// One endpoint of the interface, as the device describes it. Bit 7 of pipeId is set for IN.
struct PipeInfo {
    PipeType type = PipeType::Control;
    uint8_t pipeId = 0;
    uint16_t maximumPacketSize = 0;
    uint8_t interval = 0;
};

// Interface 0 as the device describes it.
struct InterfaceInfo {
    uint8_t interfaceNumber = 0;
    uint8_t alternateSetting = 0;
    uint8_t numEndpoints = 0;
    uint8_t interfaceClass = 0;
};

enum class PipePolicy {
    AutoClearStall,   // value != 0: a stalled pipe is cleared before the next transfer
    TransferTimeout,  // value in milliseconds, 0 = none: every transfer on the pipe is bounded
};

// The setup stage of a vendor control transfer.
struct ControlSetup {
    uint8_t requestType = 0;  // 0xC0 vendor IN, 0x40 vendor OUT
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;
};

// An asynchronous read. The caller owns it and its buffer until it completes: the backend sets
// `done` (an Event of the caller) when the read ends, successfully or not.
struct AsyncRead {
    uint8_t pipeId = 0;
    uint8_t* data = nullptr;
    uint32_t length = 0;
    Event* done = nullptr;
    // Filled by the backend before `done` is set.
    bool ok = false;
    int error = 0;  // errno value when !ok
    uint32_t transferred = 0;
};

// An opened device. All operations may be called from any thread; they never hold a lock of the
// caller. Unless a comment says otherwise an operation returns true, or false with the platform
// error set.
class UsbDevice {
public:
    // Ends every pending transfer (ECANCELED, its `done` set) before the device goes away.
    virtual ~UsbDevice() = default;

    // USB speed of the connection: 1 low, 2 full, 3 high, 4 super. Does not block.
    virtual bool querySpeed(uint8_t& speed) = 0;
    // Interface 0, alternate setting `alternate`. Does not block.
    virtual bool queryInterfaceSettings(uint8_t alternate, InterfaceInfo& info) = 0;
    // The index-th endpoint of that setting. EINVAL past the last. Does not block.
    virtual bool queryPipe(uint8_t alternate, uint8_t index, PipeInfo& info) = 0;

    // Does not block.
    virtual bool setPipePolicy(uint8_t pipeId, PipePolicy policy, uint32_t value) = 0;
    // Clears a halt on the pipe (and the device's data toggle). Blocks for one control transfer.
    virtual bool resetPipe(uint8_t pipeId) = 0;
    // Ends every transfer pending on the pipe with ECANCELED and waits until none runs.
    virtual bool abortPipe(uint8_t pipeId) = 0;

    // A synchronous control transfer; `transferred` is the length of the data stage (an IN
    // transfer may return less than asked). Blocks up to the device's control time-out.
    virtual bool controlTransfer(const ControlSetup& setup, uint8_t* data,
                                 uint32_t& transferred) = 0;

    // A synchronous read of a bulk or interrupt IN pipe, bounded by the pipe's time-out policy.
    // A read of 0 bytes (zero-length packet) is a success.
    virtual bool readPipe(uint8_t pipeId, uint8_t* data, uint32_t length,
                          uint32_t& transferred) = 0;
    // A synchronous write of a bulk or interrupt OUT pipe, bounded by the pipe's time-out.
    virtual bool writePipe(uint8_t pipeId, const uint8_t* data, uint32_t length,
                           uint32_t& transferred) = 0;

    // Queues an asynchronous read. True when queued (it completes later through read.done); false
    // with the platform error set when it could not be queued. Reads on one pipe complete in the
    // order they were queued. Does not block.
    virtual bool submitRead(AsyncRead& read) = 0;
};

// Arrival and removal of a board, told with its path and the label of its model (a key of the
// model rows given to setModelGuids). Called on a thread of the backend; the receiver must not
// call back into the backend from it.
enum class HotplugEvent { Arrived, Removed };
using HotplugHandler =
    std::function<void(HotplugEvent event, const std::string& path, const std::string& model)>;

class UsbBackend {
public:
    virtual ~UsbBackend() = default;

    // The backend's name as KXCX_BACKEND spells it.
    virtual const char* name() const = 0;

    // Enumeration: the path of the memberIndex-th present interface (0-based) exposing the
    // device interface GUID, in the backend's stable order. Paths are backend-defined; the sim
    // backend's read "sim:<model>:<n>".
    virtual EnumResult interfacePath(const Guid& interfaceGuid, int memberIndex,
                                     std::string& path) = 0;

    // Opens the device of a path for reading and writing; null with the platform error set.
    virtual std::unique_ptr<UsbDevice> open(const std::string& path) = 0;

    // Installs (or with an empty handler removes) the receiver of arrival and removal
    // notifications. Only boards of the models last given to setModelGuids are told, each with
    // its model's label, a removal too (the backend remembers what it found at a path); any
    // other device is not. Returns false when the backend cannot report them.
    virtual bool setHotplugHandler(HotplugHandler handler) = 0;

    // The board models the library knows, by label, with their interface GUIDs: hot-plug tells
    // of boards of these models, and a backend that can recognise boards by other means (a
    // device map) looks their labels up here. Replaces what was set before. Does not block.
    virtual void setModelGuids(std::map<std::string, Guid> labelToGuid) = 0;
};

}  // namespace kx
