// The hand-over of delivered frames from the camera library's streaming thread to the GUI thread.
//
// Three frame buffers take turns: the streaming thread copies each frame into the one it writes,
// then publishes it by swapping it with the ready one under a short lock; the GUI thread takes
// the newest published frame by swapping the ready buffer with the one it shows. No buffer is
// ever written while the GUI thread reads it, and the buffer shown stays unchanged until the GUI
// thread takes the next frame (the canvas's pixel readout reads it between frames).
//
// While the GUI thread places a frame (between beginPlacing() and endPlacing()) the frames that
// arrive are dropped, never queued: the display does not fall behind the camera. A frame whose
// copy began before placing started is still published and shown on the next turn.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

namespace hv {

class FrameHandOff {
public:
    // frameBytes: the size of one frame (the handle's frame byte count); at least 1.
    explicit FrameHandOff(int frameBytes);
    FrameHandOff(const FrameHandOff&) = delete;
    FrameHandOff& operator=(const FrameHandOff&) = delete;

    int frameBytes() const { return m_frameBytes; }

    // Streaming thread. Copies the first `length` bytes of the frame (at most frameBytes(); the
    // rest of a longer frame is cut off) and publishes them. False when the frame was dropped:
    // the GUI thread is placing a frame, or there is no frame (null, or a negative length); the
    // caller then signals and counts nothing. Calls may come from any thread; they are
    // serialised among themselves.
    bool offer(const void* frame, int length);

    // GUI thread. Marks the GUI thread busy and takes the newest published frame: its buffer,
    // which stays valid and unchanged until the next beginPlacing(), or null when no frame was
    // published since the last one taken. Always pair with endPlacing().
    const uint8_t* beginPlacing();
    // GUI thread. The frame is placed: later frames are accepted again.
    void endPlacing();

    // GUI thread. The buffer taken last (all zero before the first frame).
    const uint8_t* shownFrame() const { return m_shown; }
    // GUI thread. When the frame taken last was offered.
    std::chrono::steady_clock::time_point shownOfferedAt() const { return m_shownAt; }

private:
    const int m_frameBytes;
    std::unique_ptr<uint8_t[]> m_storage;  // the three buffers, one after another

    std::atomic<bool> m_placing{false};

    std::mutex m_offerLock;      // serialises offers; guards m_write
    uint8_t* m_write = nullptr;  // filled by the streaming thread

    std::mutex m_lock;           // guards m_ready and m_fresh
    uint8_t* m_ready = nullptr;  // the newest published frame
    bool m_fresh = false;        // m_ready holds a frame the GUI thread has not taken

    uint8_t* m_shown = nullptr;  // GUI thread only
    // When the frame in each buffer was offered; they travel with their buffers.
    std::chrono::steady_clock::time_point m_writeAt;
    std::chrono::steady_clock::time_point m_readyAt;
    std::chrono::steady_clock::time_point m_shownAt;
};

}  // namespace hv
