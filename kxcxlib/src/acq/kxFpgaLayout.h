// The FPGA's frame transfer layouts and the registers that drive them (slave 0x3C).
#pragma once

#include <array>
#include <cstdint>

struct CamContext;

class FpgaLayout {
public:
    static constexpr int kRegMinor = 0x00;
    static constexpr int kRegMajor = 0x01;
    static constexpr int kRegStatus = 0x04;
    static constexpr int kRegFrameCountLow = 0x11;
    static constexpr int kRegFrameCountHigh = 0x12;
    static constexpr int kRegStreamReset = 0x60;
    static constexpr int kRegStart = 0x61;
    static constexpr int kRegTransferStatus = 0x62;
    static constexpr int kRegBankAddress = 0x63;  // 0x63 to 0x66
    static constexpr int kRegLength = 0x67;       // 0x67 to 0x69
    static constexpr int kRegNewestBank = 0x77;
    // Transfer status bits.
    static constexpr int kStatusReady = 0x01;
    static constexpr int kStatusStarted = 0x04;
    // Bytes per packet of the packet layout.
    static constexpr int kPacketBytes = 512;

    using Length = std::array<uint8_t, 3>;
    // 938 packets of 512 bytes.
    static constexpr Length kPacketLength = {0xAA, 0x03, 0x00};
    // 120000 words of 32 bits.
    static constexpr Length kWordLength = {0xC0, 0xD4, 0x01};
    // Bank start addresses as the bytes of registers 0x63 to 0x66.
    static constexpr std::array<std::array<uint16_t, 4>, 4> kBankAddress = {
        {{0, 0, 0x80, 0}, {0, 0, 0x90, 0}, {0, 0, 0xA0, 0}, {0, 0, 0xB0, 0}}};

    // The FPGA version registers of a board.
    struct Version {
        int major = 0;
        int minor = 0;
    };
    static Version readVersion(CamContext* context);

    // The layout the frame read and the streaming tick use: packets for 1.48 (minor 0x30) and
    // above within major 1, and for every major 2 and above.
    static bool packetMode(const Version& version) {
        return (version.major == 1 && version.minor >= 0x30) || version.major >= 2;
    }
    // The rule of the single-frame capture: packets for major 0 or 1 with minor above 0x18.
    static bool capturePacketLayout(const Version& version) {
        return (version.major == 0 || version.major == 1) && version.minor > 0x18;
    }

    // A byte to an FPGA register (8-bit register address); the bytes transferred.
    static int write(CamContext* context, int reg, int value);
    // A byte of an FPGA register; a failed read gives 0.
    static int read(CamContext* context, int reg);
};
