// One opened channel to a board: the record behind every device handle.
//
// The head (kind tag, owner, status word, flash-erased flag) comes first and is read by callers
// through the public header; the channel's own fields follow it. The locks and the ring of
// buffers belong to the construction of the context and survive reset(); everything else is
// cleared by reset() before a channel is opened.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include <kxCamContextHead.h>
#include <kxCxApi.h>
#include "device/kxRingNode.h"
#include "log/kxRecordThrottle.h"
#include "sync/kxEvent.h"
#include "usb/kxUsbBackend.h"

class BulkXferThread;
class mvAcqThread;
class mvCbThread;

struct CamContext : CamContextHead {
    static constexpr int kRingCount = 8;
    // channelState values.
    static constexpr int32_t kStateFailed = 5;
    static constexpr int32_t kStateStarting = 4;

    CamContext();
    ~CamContext();
    CamContext(const CamContext&) = delete;
    CamContext& operator=(const CamContext&) = delete;

    // Kind tag 1, the owner set, every handle, pipe, thread pointer, event, counter, queue,
    // the frame store and the geometry cleared. Locks and ring nodes stay.
    void reset(CamDevice* newOwner);

    // The opened device (the file and interface handles of the channel). Set while the channel
    // opens and dropped by its close; transfers hold their own reference, so a close on one
    // thread never frees the device under a transfer on another.
    std::shared_ptr<kx::UsbDevice> usbDevice() const;
    void setUsbDevice(std::shared_ptr<kx::UsbDevice> opened);
    // Pipe ids, 0 when the interface has no such pipe.
    uint8_t bulkInPipe = 0;
    uint8_t bulkOutPipe = 0;
    uint8_t interruptInPipe = 0;
    uint8_t interruptOutPipe = 0;
    // Set before every control transfer; created by initialisation.
    std::unique_ptr<kx::Event> controlEvent;

    BulkXferThread* bulkXferThread = nullptr;
    mvAcqThread* acqThread = nullptr;
    mvCbThread* cbThread = nullptr;

    // Critical sections (recursive, as the platform's are).
    std::recursive_mutex controlLock;
    std::recursive_mutex transferLock;
    std::recursive_mutex abortLock;

    // Stream events.
    std::shared_ptr<kx::Event> stopEvent;  // "usb-brk"
    std::unique_ptr<kx::Event> startedEvent;
    std::unique_ptr<kx::Event> userBreakEvent;  // "usr-brk"
    std::unique_ptr<kx::Event> frameReadyEvent;
    // Thread-control events of the second variant's acquisition and callback threads.
    std::unique_ptr<kx::Event> acqStartedEvent;
    std::unique_ptr<kx::Event> acqAbortEvent;
    std::unique_ptr<kx::Event> acqExitedEvent;
    std::unique_ptr<kx::Event> cbAbortEvent;
    std::unique_ptr<kx::Event> cbExitedEvent;

    // Written by transfers of any thread.
    std::atomic<int32_t> channelState{0};
    // Set when a transfer found the device gone (ENODEV). A device that left the bus never comes
    // back under this handle (a board plugged in again is a new device), so the channel makes no
    // transfer on it from then on.
    std::atomic<bool> deviceGone{false};
    // Module records of failed transfers, at most one a second of each place and error.
    RecordThrottle failureRecords;

    // Frame counters of the bulk stream.
    int32_t goodFrames = 0;
    int32_t replacedFrames = 0;
    int32_t shortTransfers = 0;
    int32_t longTransfers = 0;

    // The ring of buffers.
    int32_t ringCount = kRingCount;
    std::array<RingNode, kRingCount> ring;
    RingNode* pendingHead = nullptr;
    RingNode* pendingTail = nullptr;
    RingNode* handedBack = nullptr;
    RingNode* readyNode = nullptr;

    // Twelve frame slots, slot k at k * frameBytes.
    std::unique_ptr<uint8_t[]> frameStore;
    std::size_t frameStoreBytes = 0;

    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 0;
    int32_t frameBytes = 0;

    // The status word of the head as the library's threads and exports share it: written by a
    // streaming thread, stored and read by callers on theirs.
    std::atomic_ref<int32_t> status() { return std::atomic_ref<int32_t>(statusWord); }

    // Non-null while streaming; read by the streaming threads.
    std::atomic<CxFrameCallback> callback{nullptr};
    // Result of the latest frame read: bytes, or negative.
    std::atomic<int32_t> lastReadResult{0};

private:
    mutable std::mutex m_deviceMutex;
    std::shared_ptr<kx::UsbDevice> m_device;
};
