// The first board variant ("RT4207-x6B6B"): the host polls the FPGA for each frame.
#pragma once

#include <memory>

#include "acq/kxRtTimerThread.h"
#include "device/kxCamDevice.h"

class rtCamDevice : public CamDevice {
public:
    // Geometry of a context before it is opened.
    static constexpr int kDefaultWidth = 400;
    static constexpr int kDefaultHeight = 400;
    static constexpr int kDefaultFrameBytes = 160000;
    // Bytes beyond the twelve frames in this variant's frame store.
    static constexpr std::size_t kStoreExtra = 256;

    rtCamDevice();
    ~rtCamDevice() override;

    // Opens the interface and its channel and sizes the frame store. The register file is not
    // sent. The context, or null.
    CamContext* open(const kx::Guid& interfaceGuid, int memberIndex, int width, int height,
                     int frameBytes);

    int closeContext(CamContext* context) override;
    // This variant has no acquisition state: 0.
    int acquisitionState(CamContext* context) override;
    // This variant has no acquisition mode.
    void setAcquisitionMode(CamContext* context, int mode) override;
    // A callback: register 0x60 := 0 and the timer starts ticking; null: the timer stops. 0.
    int streamControl(CamContext* context, CxFrameCallback callback, int value) override;
    // The context's callback while the timer ticks; null once the stream ended because the
    // board left (the status word then holds ENODEV).
    CxFrameCallback currentCallback(CamContext* context) override;

    rtTimerThread& timer() { return *m_timer; }

private:
    std::unique_ptr<rtTimerThread> m_timer;
};
