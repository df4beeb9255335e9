// The board's live stream and the sensor's pixel clock stopped for work that must not run beside
// them (firmware loads, the flash erase, gamma table transfers). The frame callback in place and
// its value are kept, so the stream comes back as it was.
//
// Used on the GUI thread; the waits block it, as the board needs them.
#pragma once

#include <chrono>

#include <kxCxApi.h>

namespace hv {

class StreamPause {
public:
    // Keeps the callback streaming on handle and its value, stops the stream, waits settle,
    // stops the DVP clock and waits settle again.
    StreamPause(CamContext* handle, std::chrono::milliseconds settle);

    // The stream again with the kept callback and value; nothing when none was streaming.
    void restartStream();
    // A callback was streaming when the pause began.
    bool wasStreaming() const { return m_callback != nullptr; }

private:
    CamContext* m_handle;
    CxFrameCallback m_callback = nullptr;
    int m_value = 0;
};

}  // namespace hv
