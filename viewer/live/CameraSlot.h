// Camera slot A: what the viewer keeps for the board it streams. Its canvas, the signal objects
// that carry the board's frames, buttons and stop to the GUI thread, the hand-off buffers the
// frames arrive in and the converter that turns them into pictures. Built at bring-up, destroyed
// at release, after the stream stopped.
#pragma once

#include <QImage>
#include <memory>

#include <kxCamContextHead.h>
#include "FrameConverter.h"
#include "FrameHandOff.h"
#include "KXButtonNotifySignal.h"
#include "KXDisplaySignal.h"
#include "KXExitAppSignal.h"
#include "KXStopCallbackSignal.h"

class QWidget;

namespace hv {

class ImageDraw;

class CameraSlot {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 400;
    // The canvas shows 640 x 640; with the FPGA's crop bit the frame is enlarged to 704 x 704
    // and its centre shown.
    static constexpr int kShownEdge = 640;
    static constexpr int kCroppedEdge = 704;
    static constexpr int kCropOffset = 32;
    static constexpr int kColourModeRgb8 = 5;

    // A slot for board deviceNumber behind handle; frames of frameBytes bytes. The canvas is a
    // child of canvasParent, the signal objects children of signalParent. Only handles of kind 1
    // deliver RGB frames: for others (and a null handle) the slot has no hand-off buffers and
    // shows no frames.
    CameraSlot(int deviceNumber, CamContext* handle, int frameBytes, QObject* signalParent,
               QWidget* canvasParent, const char* versionText);
    ~CameraSlot();
    CameraSlot(const CameraSlot&) = delete;
    CameraSlot& operator=(const CameraSlot&) = delete;

    int deviceNumber() const { return m_deviceNumber; }
    CamContext* handle() const { return m_handle; }
    ImageDraw* canvas() const { return m_canvas; }
    // The newest frame placed, unscaled (400 x 400, black before the first). A copy kept by
    // someone stays as it is: the next frame replaces the image instead of rewriting it.
    const QImage& frameImage() const { return m_converter.frame(); }
    // Null for a slot that shows no frames.
    FrameHandOff* handOff() const { return m_handOff.get(); }

    KX::KXDisplaySignal* displaySignal() const { return m_display; }
    KX::KXStopCallbackSignal* stopCallbackSignal() const { return m_stopCallback; }
    KX::KXButtonNotifySignal* buttonNotifySignal() const { return m_buttonNotify; }
    KX::KXExitAppSignal* exitAppSignal() const { return m_exitApp; }

    // Shows picture at 640 x 640 at the canvas's origin (the colour bars before the first frame).
    void showPicture(const QImage& picture);
    // Converts the newest frame handed over and shows it, cropped when crop is set; false when
    // no new frame was there. The hand-off stays busy (arriving frames dropped) until it returns.
    bool placeNewestFrame(bool crop);

private:
    int m_deviceNumber;
    CamContext* m_handle;
    std::unique_ptr<FrameHandOff> m_handOff;
    FrameConverter m_converter;
    ImageDraw* m_canvas;
    KX::KXDisplaySignal* m_display;
    KX::KXStopCallbackSignal* m_stopCallback;
    KX::KXButtonNotifySignal* m_buttonNotify;
    KX::KXExitAppSignal* m_exitApp;
};

}  // namespace hv
