// The second board variant ("MV3318-x7654", "MV3329-x5542"): the board streams frames and the
// host keeps reads queued.
#pragma once

#include <chrono>
#include <memory>

#include "acq/kxMvThreadTrio.h"
#include "device/kxCamDevice.h"

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
    // A callback: the three streaming threads start, the board's acquisition mode 1, then a
    // second for the stream to settle; null: mode 3 and the threads stop. The board's
    // acquisition state (255 when it cannot be read), or -1 when the threads did not start.
    int streamControl(CamContext* context, CxFrameCallback callback, int value) override;
    // The context's callback while its callback thread runs; null once the stream ended because
    // the board left (the status word then holds ENODEV).
    CxFrameCallback currentCallback(CamContext* context) override;
    // One frame into dest (frameBytes): mode 1, the acquisition for 600 ms, mode 3, slot 0
    // copied. 0, or -2 while the context streams.
    int captureOneFrame(CamContext* context, void* dest);

    // Pauses of streaming start and single-frame capture; tests shorten them.
    struct Pauses {
        std::chrono::milliseconds streamSettle{1000};
        std::chrono::milliseconds beforeAcquisition{100};
        std::chrono::milliseconds acquisition{600};
        std::chrono::milliseconds afterAcquisition{100};
    };
    void setPauses(const Pauses& pauses) { m_pauses = pauses; }

private:
    MvThreadTrio& trio(CamContext* context);

    std::array<std::unique_ptr<MvThreadTrio>, 2> m_trios;
    Pauses m_pauses;
};
