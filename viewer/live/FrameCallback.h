// The frame callback the camera library runs on its streaming thread for every finished frame.
// It touches no widget: it hands the frame to camera slot A (dropped while the GUI thread is
// placing one) and raises the slot's display and button signals and the process's frame-counts
// signal, all queued to the GUI thread.
#pragma once

#include <kxCamContextHead.h>

namespace KX {
class KXFrameCountsSignal;
}

namespace hv {

class CameraSlot;

class FrameCallback {
public:
    // The slot frames go to and the frame-counts object; null for none. Changed on the GUI
    // thread only while no stream runs.
    static void attach(CameraSlot* slot);
    static void setFrameCounts(KX::KXFrameCountsSignal* counts);

    // The callback handed to acquireImageStream.
    static void onFrame(const void* frame, int length, CamContext* handle);

    // A status word that reports no change of the handle buttons.
    static constexpr int kButtonsUnchanged = 0xFF;
};

}  // namespace hv
