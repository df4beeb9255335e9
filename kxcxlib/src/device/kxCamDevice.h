// A camera board opened by the library: two channel records and what the board variants share.
// The variants (variant/) derive from it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "device/kxCamBase.h"
#include "device/kxCamContext.h"
#include "usb/kxGuid.h"
#include "usb/kxUsbBackend.h"

class CamDevice : public CamBase {
public:
    static constexpr int kFrameSlots = 12;
    static constexpr int kRequestFrameCounters = 0xC1;

    CamDevice();
    // Closes the channels still open and frees both contexts.
    ~CamDevice() override;

    // Opens the device of an enumerated interface (null when absent or refused).
    virtual std::unique_ptr<kx::UsbDevice> openDevicePath(const kx::Guid& interfaceGuid,
                                                          int memberIndex);
    // Resets and aborts the pipes and closes the events and the device of the context.
    virtual int closeChannel(CamContext* context);
    // Stops what runs on the context and closes its channel. Non-negative on success, -1 for a
    // null context.
    virtual int closeContext(CamContext* context) = 0;
    // The board's acquisition state.
    virtual int acquisitionState(CamContext* context) = 0;
    // Starts (1) or stops (3) the board's acquisition.
    virtual void setAcquisitionMode(CamContext* context, int mode) = 0;
    // Request 0xC1: the board's two frame counters. The bytes transferred (4), -1 without a
    // transfer buffer.
    virtual int frameCounters(CamContext* context, int* first, int* second);
    // A callback starts streaming on the context, null stops it. The variant's result.
    virtual int streamControl(CamContext* context, CxFrameCallback callback, int value) = 0;
    // The context's callback, null when not streaming.
    virtual CxFrameCallback currentCallback(CamContext* context);

    // Stops streaming on every context of every device of the process that was given a callback
    // (whether its stream still runs or ended itself), so that no streaming thread of the
    // library runs when this returns (the library is about to be unloaded). Devices are not
    // destroyed meanwhile: a close waits until this is done.
    static void stopAllStreams();

    CamContext& context(int index) { return m_contexts[static_cast<std::size_t>(index)]; }
    int openCount() const { return m_openCount; }

protected:
    // The first steps of every open: the next context (the first while none is open, else the
    // second) reset for this device, its interface's device opened and the channel initialised.
    // The context, or null.
    CamContext* openChannel(const kx::Guid& interfaceGuid, int memberIndex);
    // A frame of no pixels would divide by zero and a negative size would size the store
    // nonsensically: an open with such a geometry is refused before the board is touched.
    static bool validGeometry(int width, int height, int frameBytes);
    // Stores the geometry with bytes per pixel = frameBytes / (width x height).
    static void setGeometry(CamContext& context, int width, int height, int frameBytes);
    // Replaces the frame store by one of width x height x 12 x 4 (+ extra) bytes.
    static bool allocateFrameStore(CamContext& context, std::size_t extra);
    // The last steps of every open: the geometry stored and the frame store sized (extra bytes
    // beyond the slots); the context then counts as open. Null, with the channel closed again,
    // when there is no memory for the store.
    CamContext* completeOpen(CamContext* context, int width, int height, int frameBytes,
                             std::size_t extra);
    // The first steps of every close once the variant's threads are stopped: the callback
    // dropped and the streaming events closed.
    static void releaseStreaming(CamContext& context);

    std::array<CamContext, 2> m_contexts;
    int32_t m_openCount = 0;
    int32_t m_frameStoreFactor = kFrameSlots;
    int32_t m_deviceCounters[3] = {};
};
