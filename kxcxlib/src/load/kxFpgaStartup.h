// The FPGA's start-up handshake after configuration, and the microcontroller's firmware version.
#pragma once

struct CamContext;

class FpgaStartup {
public:
    static constexpr int kNoFpga = -21;
    static constexpr int kNotReady = -22;

    // Versions 0.0 (nothing configured) -21; start request 0x40 = 1, then 0x41 must read 1
    // within three reads (-22); then the transfer state is reset (0x60 = 1, 0). 0 when done.
    static int init(CamContext* context);
    // Whether register 0x41 reads 1 within three reads (no pause between them).
    static bool ready(CamContext* context);
    // Request 0xB0: byte 1 x 256 + byte 0 into *version. 0.
    static int mcuVersion(CamContext* context, int* version);
};
