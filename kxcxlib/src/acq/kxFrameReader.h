// Reads one frame from the bulk IN pipe ("CamDevice::getBulkData").
//
// In the packet layout the read asks for the frame size rounded up to whole 512-byte packets and
// ends as soon as a frame's worth has arrived; three zero-length reads in a row fail it. In the
// word layout it asks for exactly what is missing until the frame is complete. Each read is
// bounded by the pipe's time-out. A failure is logged with the platform error
// (CamChannel::transferFailed), the bulk IN pipe is aborted so the next read starts clean, and
// the result is -1 (packets) or the negated platform error (words). A device known to be gone is
// not read: the result is then -1 or -ENODEV at once.
#pragma once

#include <cstdint>

struct CamContext;

class FrameReader {
public:
    static constexpr int kMaxZeroReads = 3;

    // Reads the FPGA version to choose the layout, then the frame. dest must hold frameBytes
    // rounded up to a multiple of 512. Bytes read, or negative.
    static int read(CamContext& context, uint8_t* dest);
    // The same with the layout already known.
    static int read(CamContext& context, uint8_t* dest, bool packetMode);

    // frameBytes rounded up to whole packets: what a frame-store slot must hold.
    static int paddedBytes(int frameBytes);
};
