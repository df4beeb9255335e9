#include "FrameCallback.h"

#include <atomic>

#include "CameraSlot.h"
#include "KXFrameCountsSignal.h"

namespace hv {

namespace {

std::atomic<CameraSlot*> g_slot{nullptr};
std::atomic<KX::KXFrameCountsSignal*> g_frameCounts{nullptr};

}  // namespace

void FrameCallback::attach(CameraSlot* slot) {
    g_slot = slot;
}

void FrameCallback::setFrameCounts(KX::KXFrameCountsSignal* counts) {
    g_frameCounts = counts;
}

void FrameCallback::onFrame(const void* frame, int length, CamContext* handle) {
    CameraSlot* slot = g_slot.load();
    if (slot == nullptr || handle == nullptr) {
        return;
    }
    // A change of the handle buttons is reported once, with the frame that carries it: it is
    // reported even when that frame is dropped, or a press made while the GUI thread is busy
    // would be lost.
    const int status = cxContextHead(handle)->statusWord;
    if (status != kButtonsUnchanged) {
        emit slot->buttonNotifySignal()->buttonNotifySignal(status & 0xF);
    }
    if (cxContextHead(handle)->kindTag == 1) {
        FrameHandOff* handOff = slot->handOff();
        if (handOff == nullptr || !handOff->offer(frame, length)) {
            return;  // the GUI thread is placing a frame: this one is dropped, not counted
        }
        emit slot->displaySignal()->displaySignal(slot->deviceNumber());
    }
    if (KX::KXFrameCountsSignal* counts = g_frameCounts.load()) {
        emit counts->frameCountsSignal();
    }
}

}  // namespace hv
