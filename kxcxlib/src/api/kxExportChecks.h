// The checks every device export makes before it touches a handle, in the order callers rely on.
#pragma once

struct CamContext;

class ExportChecks {
public:
    // What an export answers for a handle whose device cannot serve it. A kind tag is 1 for the
    // handles openCxDevice returns and 0 for the second variant's single-frame path; any other
    // kind is refused. An owner code of 0 leaves the owner unchecked for that kind.
    struct DeviceCodes {
        int unknownKind;
        int kind0WithoutOwner;
        int kind1WithoutOwner;
    };

    // The codes of each group of exports, one row per group.
    // Board controls, the microcontroller's loaders and streaming.
    static constexpr DeviceCodes kBoardControl{-5, -3, -4};
    // Single frames and the board's frame counters.
    static constexpr DeviceCodes kFrameCapture{-6, -4, -5};
    // The FPGA over JTAG, into its flash and the flash's erase.
    static constexpr DeviceCodes kFpgaImage{-6, 0, 0};
    // The FPGA's start-up handshake.
    static constexpr DeviceCodes kFpgaStartup{-4, 0, 0};
    // Gamma tables and the register file.
    static constexpr DeviceCodes kTableTransfer{-5, 0, 0};
    // closeCxDevice.
    static constexpr DeviceCodes kClose{-4, -6, -6};

    // -1 without a library object, -2 for a null handle, else 0.
    static int handle(const CamContext* handle);
    // The kind and owner of a non-null handle against codes: the code that applies, else 0.
    static int device(const CamContext* handle, const DeviceCodes& codes);
    // handle(), then device() with kBoardControl.
    static int boardControl(const CamContext* handle);
};
