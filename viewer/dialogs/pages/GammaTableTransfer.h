// The FPGA page's gamma table commands: upload the four tables chosen in the GammaTable dialog
// into slots 0 to 3, and read all seven slots back.
//
// The tables travel on the bulk pipes the live stream uses, so both commands stop the stream and
// the pixel clock for their transfers (waiting kSettle around each stop) and start them again
// with the callback that streamed before. A table counts when its transfer gives more than 0
// (lines used, bytes read); others are reported with their result.
//
// Used on the GUI thread only.
#pragma once

#include <chrono>

#include <kxCamContextHead.h>

class QWidget;

namespace hv {

class GammaTableTransfer {
public:
    static constexpr int kSlots = 7;
    static constexpr std::chrono::milliseconds kSettle{100};

    GammaTableTransfer() = delete;

    // Runs the GammaTable dialog; once it is accepted, uploads the list's tables 0 to 3. The
    // tables uploaded, or -1 when the dialog was not accepted or there is no handle.
    static int upload(QWidget* parent, CamContext* handle);
    // Reads slots 0 to 6 back; the slots read (-1 without a handle).
    static int download(QWidget* parent, CamContext* handle);
};

}  // namespace hv
