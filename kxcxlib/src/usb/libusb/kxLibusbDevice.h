// A board opened through libusb (LibusbBackend::open): interface 0 claimed, its pipes as the
// active configuration describes them.
//
// Every transfer, the synchronous ones included, is an asynchronous libusb transfer completed by
// the backend's event thread (LibusbEventThread); a synchronous call submits one and waits for
// its own completion. So abortPipe can end any transfer, one that another thread waits for too.
// The device must be destroyed before the backend that opened it: its transfers complete only
// while the backend's event thread runs.
//
// Locks: one mutex per device (m_mutex) guards the pipe table and the list of transfers in
// flight. It is never held while a call waits for the device; libusb's submit and cancel, which
// do not wait, run under it so a transfer cannot complete between being listed and submitted.
// Completion callbacks take it on the event thread; an asynchronous read's `done` Event is set
// under it (Event::set only wakes waiters), so `done` is set before the destructor returns.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <vector>

#include "usb/kxUsbBackend.h"
#include "usb/libusb/kxPipeTable.h"

struct libusb_config_descriptor;
struct libusb_device_handle;
struct libusb_transfer;

namespace kx {

class LibusbDevice : public UsbDevice {
public:
    // The time-out of every control transfer. Vendor requests of a board answer within
    // milliseconds; the bound is generous so a slow request (one that writes flash) is not cut
    // short, yet a board that stopped answering is noticed.
    static constexpr unsigned int kControlTimeoutMs = 5000;
    // How long abortPipe waits for the cancelled transfers to end. The kernel ends a cancelled
    // transfer within milliseconds; past this the pipe is reported stuck (ETIMEDOUT).
    static constexpr unsigned int kAbortWaitMs = 2000;

    // One alternate setting of an interface with its endpoints in descriptor order.
    struct Setting {
        InterfaceInfo info;
        std::vector<PipeInfo> pipes;
    };

    // The alternate settings of the interface numbered interfaceNumber in a configuration
    // descriptor, in descriptor order; empty when the configuration has no such interface.
    static std::vector<Setting> interfaceSettings(const libusb_config_descriptor& config,
                                                  uint8_t interfaceNumber);

    // The speed number of a libusb_speed: 1 low, 2 full, 3 high, 4 super (super-plus too);
    // 0 when libusb does not know it.
    static uint8_t speedNumber(int libusbSpeed);

    // Takes over handle, whose interface 0 is claimed; settings are interface 0's (transfers
    // use alternate setting 0's pipes).
    LibusbDevice(libusb_device_handle* handle, std::vector<Setting> settings);
    // Cancels every transfer in flight and waits until each has completed (their `done` set
    // with ECANCELED), then releases the interface (a kernel driver detached by open is
    // attached again) and closes the handle. No other call may run on the device meanwhile.
    // The wait has no bound: a cancelled transfer always ends while the event thread runs.
    ~LibusbDevice() override;

    LibusbDevice(const LibusbDevice&) = delete;
    LibusbDevice& operator=(const LibusbDevice&) = delete;

    // Does not block; takes no lock. 0 when libusb does not know the speed.
    bool querySpeed(uint8_t& speed) override;
    // Do not block; take no lock (the settings were read by open). EINVAL for an alternate
    // setting or index the interface does not have.
    bool queryInterfaceSettings(uint8_t alternate, InterfaceInfo& info) override;
    bool queryPipe(uint8_t alternate, uint8_t index, PipeInfo& info) override;

    // Does not block; takes m_mutex. EINVAL for a pipe of no endpoint of alternate setting 0
    // (the control pipe 0 included: control transfers have their own fixed time-out).
    bool setPipePolicy(uint8_t pipeId, PipePolicy policy, uint32_t value) override;
    // libusb_clear_halt: blocks for one control transfer; takes m_mutex only before and after.
    // EINVAL for a pipe the setting does not have; otherwise what libusb gives (ENODEV, EPIPE..).
    bool resetPipe(uint8_t pipeId) override;
    // Cancels the pipe's transfers in flight (pipe 0: the control transfers) under m_mutex,
    // then waits up to kAbortWaitMs, without the lock, until each has completed. EINVAL for a
    // pipe the setting does not have; ETIMEDOUT when one has not ended in time.
    bool abortPipe(uint8_t pipeId) override;

    // Blocks up to kControlTimeoutMs. EINVAL when length > 0 without data; the transfer's end
    // otherwise (EPIPE when the board stalled the request, ETIMEDOUT, ENODEV, ECANCELED, EIO).
    bool controlTransfer(const ControlSetup& setup, uint8_t* data, uint32_t& transferred) override;

    // Bulk or interrupt, as the endpoint's descriptor says. Block up to the pipe's time-out
    // (none when 0). When the pipe stalled before under AutoClearStall, the halt is cleared
    // first (one more control transfer). EINVAL for a pipe the setting does not have, of the
    // wrong direction or type (control, isochronous), or a length past INT_MAX. `transferred`
    // also counts what arrived before a failure (a time-out, say).
    bool readPipe(uint8_t pipeId, uint8_t* data, uint32_t length, uint32_t& transferred) override;
    bool writePipe(uint8_t pipeId, const uint8_t* data, uint32_t length,
                   uint32_t& transferred) override;

    // Does not block, except to clear a halt first as readPipe does. Pipe and length checks as
    // readPipe; ECANCELED while the device is being destroyed.
    bool submitRead(AsyncRead& read) override;

private:
    // A transfer in flight, or a synchronous one whose caller has not yet taken its result.
    struct Transfer {
        LibusbDevice* device = nullptr;
        libusb_transfer* transfer = nullptr;  // freed (null) once completed
        uint8_t pipeId = 0;
        AsyncRead* read = nullptr;  // an asynchronous read: the caller's record
        bool completed = false;
        int status = 0;  // libusb_transfer_status once completed
        int actualLength = 0;
    };

    static void onTransferDone(libusb_transfer* transfer);

    // Takes m_mutex: checks that the pipe is a bulk or interrupt endpoint of the direction and
    // the buffer fits a libusb transfer, and gives the pipe with its time-out; false with EINVAL.
    bool checkDataPipe(uint8_t pipeId, bool in, const uint8_t* data, uint32_t length,
                       PipeInfo& pipe, unsigned int& timeoutMs);
    // Clears the halt when the pipe stalled under AutoClearStall. Blocks when it does.
    bool clearPendingStall(uint8_t pipeId);
    // Under m_mutex: submits a transfer and adds it to m_transfers. False with the platform
    // error set when libusb refused it.
    bool submitLocked(uint8_t pipeId, unsigned char type, uint8_t* buffer, int length,
                      unsigned int timeoutMs, AsyncRead* read, Transfer*& submitted);
    // Submits a transfer and waits until it completed. transferred gets the bytes moved.
    bool runSynchronous(uint8_t pipeId, unsigned char type, uint8_t* buffer, int length,
                        unsigned int timeoutMs, uint32_t& transferred);
    // Under m_mutex: whether a transfer of the pipe (any pipe when all) is still in flight.
    bool inFlightLocked(uint8_t pipeId, bool all) const;

    libusb_device_handle* const m_handle;
    const std::vector<Setting> m_settings;

    std::mutex m_mutex;
    std::condition_variable m_completed;  // a transfer completed
    PipeTable m_pipes;
    std::list<Transfer> m_transfers;
    bool m_closing = false;
};

}  // namespace kx
