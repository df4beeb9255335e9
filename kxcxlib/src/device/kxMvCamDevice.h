// The second board variant ("MV3318-x7654", "MV3329-x5542"): the board streams frames and the
// host keeps reads queued.
#pragma once

#include "kxCamDevice.h"

class RegFileSender;

class mvCamDevice : public CamDevice {
public:
    // Vendor request of the acquisition mode and state.
    static constexpr int kRequestAcquisition = 0xC0;
    static constexpr int kModeStart = 1;
    static constexpr int kModeStop = 3;
    static constexpr const char* kDefaultRegFile = "reg_init.txt";

    mvCamDevice();
    ~mvCamDevice() override;

    // Opens the interface and its channel, sends the register file (regFile, or "reg_init.txt"
    // when null; traceFile may be null) and resets the USB FIFO. The context, or null.
    CamContext* open(const kx::Guid& interfaceGuid, int memberIndex, int width, int height,
                     int frameBytes, const char* regFile, const char* traceFile);
    // The same with the sender of the register file given (tests pace its pauses).
    CamContext* open(const kx::Guid& interfaceGuid, int memberIndex, int width, int height,
                     int frameBytes, const char* regFile, const char* traceFile,
                     RegFileSender& sender);

    int closeContext(CamContext* context) override;
    // Request 0xC0 IN: the 16-bit state, or -1 when the read failed.
    int acquisitionState(CamContext* context) override;
    // Request 0xC0 OUT with wValue = mode.
    void setAcquisitionMode(CamContext* context, int mode) override;
};
