// One buffer of a channel's ring: a frame-sized block with its own asynchronous read record.
#pragma once

#include <cstdint>
#include <memory>

#include "sync/kxEvent.h"
#include "usb/kxUsbBackend.h"

struct RingNode {
    static constexpr int32_t kFrameBytes = 480000;

    RingNode();

    int32_t capacity = kFrameBytes;
    RingNode* next = nullptr;
    std::unique_ptr<uint8_t[]> data;  // zero-filled at creation
    kx::AsyncRead overlapped;
    // The completion event of `overlapped`, created by the channel's initialisation.
    std::unique_ptr<kx::Event> event;
};
