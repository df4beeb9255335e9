// One frame from a first-variant board without streaming: the newest bank is selected, its
// transfer started with the layout the FPGA version asks for, and the frame read.
#pragma once

struct CamContext;

class SingleFrameCapture {
public:
    // Bytes read into dest (frameBytes rounded up to 512 must fit), or negative.
    static int capture(CamContext& context, void* dest);
};
