// The channel operations on a CamContext: opening the device of an enumerated interface,
// initialising pipes, policies and events, the vendor control transfer every register and
// firmware operation goes through, the interrupt pipes, and closing.
//
// Failures are logged as module records of the context's owner ("%08lx" with the platform error
// code) under the function names callers know from the log, at most one a second for the same
// place and error. A transfer that finds the device gone (ENODEV) marks the context: the channel
// then fails every transfer at once with ENODEV, without a transfer and without a record.
#pragma once

#include <memory>

#include "usb/kxGuid.h"
#include "usb/kxUsbBackend.h"

struct CamContext;
class ModLog;

class CamChannel {
public:
    // Bulk IN policies set by initialisation.
    static constexpr uint32_t kBulkInTimeoutMs = 20;
    // Bulk OUT carries at most a 4096-byte table: far below this on any bus.
    static constexpr uint32_t kBulkOutTimeoutMs = 1000;
    // Device paths are cut to this many characters before they are opened.
    static constexpr std::size_t kMaxPathLength = 255;
    // The byte the interrupt write sends.
    static constexpr uint8_t kInterruptTrigger = 0x31;

    // The device of the memberIndex-th interface of the GUID, opened; null with the platform
    // error set when it is not there (ENODEV) or cannot be opened.
    static std::unique_ptr<kx::UsbDevice> open(const kx::Guid& interfaceGuid, int memberIndex);

    // Pipes, policies and events of a context whose device is open. 0, or -1 after closing the
    // channel.
    static int init(CamContext& context);

    // Aborts and resets every pipe (a device that is gone: aborts only), closes the events and
    // the device, and records how many failure records were held back. 0, or -1 for a null
    // context.
    static int close(CamContext* context);

    // One vendor control transfer. *transferred receives the bytes of the data stage (0 on
    // failure). 0, or -1 (channel state 5) on failure.
    static int control(CamContext* context, int directionIn, int request, int value, int index,
                       int length, void* data, int* transferred);

    // One byte 0x31 to the interrupt OUT pipe: bytes written, or the negated platform error
    // (the bulk IN pipe is then aborted).
    static int interruptWrite(CamContext& context);
    // Four bytes from the interrupt IN pipe as a little-endian value, or the negated platform
    // error (the bulk IN pipe is then aborted).
    static int interruptRead(CamContext& context);

    // The module log of the context's owner (a shared one for a context without owner).
    static ModLog& logOf(const CamContext& context);

    // A transfer of the channel failed with the platform error `error`: ENODEV marks the device
    // gone, and the module record "%08lx" is written at source, line and function unless one of
    // the same place and error was written within the last second. A record written after
    // others were held back ends with "(N more not logged)".
    static void transferFailed(CamContext& context, const char* source, int line,
                               const char* function, int error);
    // Whether a transfer found the device gone. Sets the platform error ENODEV when it did, so
    // that a caller can fail as the transfer would have.
    static bool refuseGone(CamContext& context);

private:
    // After a failed interrupt transfer: aborts the bulk IN pipe and returns the negated
    // platform error.
    static int interruptFailure(CamContext& context);
};
