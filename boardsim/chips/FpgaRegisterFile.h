// The FPGA's register file as the I2C bus sees it (slave 0x3C): 256 byte registers. The first
// byte of a write sets the register pointer, later bytes are stored from there on; reads go on
// from the pointer. The pointer advances after every data byte and wraps from 0xFF to 0x00.
// The register file also takes 16-bit register addresses, as the controller sends them for
// request 0xA9 with the wide-address flag (high byte first): a write whose first byte is 0x00
// takes its second byte as the pointer as well. Register 0x00 is read-only, so no meaningful
// write starts there with an 8-bit address; reads from 0x00 with an 8-bit address are as before.
//
// Registers without a named meaning below are plain storage. A write to a read-only register
// keeps its value and is reported as a guest error. Behaviour beyond storage (the frame
// transfer, the SPI window, the gamma slots) is added by the board through per-register hooks.
//
// Beside the registers the FPGA holds the gamma stage's table slots: seven tables of 1024 16-bit
// entries, empty until filled (the FPGA's RAM: a reset empties them).
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "i2c/I2cSlave.h"
#include "log/GuestLog.h"

namespace boardsim {

class FpgaRegisterFile : public I2cSlave {
public:
    // Register map. "ro" marks read-only registers; reset values are below.
    static constexpr uint8_t kRegVersionMinor = 0x00;     // ro, design version, minor byte
    static constexpr uint8_t kRegVersionMajor = 0x01;     // ro, design version, major byte
    static constexpr uint8_t kRegBoardStatus = 0x04;      // ro, bits 0-3 handle buttons, 0 = held
    static constexpr uint8_t kRegFrameCountLow = 0x11;    // ro, frames stored, low byte
    static constexpr uint8_t kRegFrameCountHigh = 0x12;   // ro, frames stored, high byte
    static constexpr uint8_t kRegMemTestControl = 0x15;   // memory test: 0 idle, 1 run
    static constexpr uint8_t kRegPatternSource = 0x1A;    // 0 camera, 1 colour bars, 3 patterns
    static constexpr uint8_t kRegMedianFilter = 0x20;     // 1 on
    static constexpr uint8_t kRegDampening = 0x21;        // motion dampening coefficient, 2..128
    static constexpr uint8_t kRegMotionControl = 0x27;    // bit 0: motion compensation and crop
    static constexpr uint8_t kRegGammaEnable = 0x2B;      // 1: gamma table applied
    static constexpr uint8_t kRegGammaSelect = 0x2C;      // gamma table in use, 0..6
    static constexpr uint8_t kRegMemTestPattern = 0x3F;   // memory test pattern
    static constexpr uint8_t kRegInitRequest = 0x40;      // 1: start-up handshake request
    static constexpr uint8_t kRegReady = 0x41;            // ro, 1 when configured and ready
    static constexpr uint8_t kRegMemTestStatus = 0x46;    // ro, memory test status
    static constexpr uint8_t kRegStreamControl = 0x60;    // a write resets the transfer state
    static constexpr uint8_t kRegStartPulse = 0x61;       // 0 then 1 starts a memory transfer
    static constexpr uint8_t kRegTransferStatus = 0x62;   // ro, bit 0 frame ready, bit 2 started
    static constexpr uint8_t kStatusFrameReady = 0x01;    //   newest frame not sent yet
    static constexpr uint8_t kStatusTransferBusy = 0x04;  //   a started transfer not fully read
    static constexpr uint8_t kRegBankAddress = 0x63;      // 0x63-0x66, transfer start address
    static constexpr uint8_t kRegTransferLength = 0x67;   // 0x67-0x69, transfer length
    static constexpr uint8_t kRegGammaLoad = 0x6D;        // 1 then 0: gamma slot load strobe
    static constexpr uint8_t kRegGammaAddress = 0x6E;     // 0x6E-0x71, gamma slot address
    static constexpr uint8_t kRegNewestBank = 0x77;       // ro, bits 0-1 bank of newest frame
    static constexpr uint8_t kRegHdmiOutput = 0x7A;       // 1 on
    static constexpr uint8_t kRegSpiWindowFirst = 0x80;   // 0x80-0x94, SPI master window
    static constexpr uint8_t kRegSpiWindowLast = 0x94;

    // Reset values other than 0 (the version registers reset to the loaded design's version).
    static constexpr uint8_t kResetBoardStatus = 0x0F;  // no button held
    static constexpr uint8_t kResetDampening = 0x40;
    static constexpr uint8_t kResetReady = 0x01;
    static constexpr uint8_t kResetBankAddress2 = 0x80;     // bank 0 at 0x800000
    static constexpr uint8_t kResetTransferLength0 = 0xC0;  // 0x01D4C0 32-bit words
    static constexpr uint8_t kResetTransferLength1 = 0xD4;
    static constexpr uint8_t kResetTransferLength2 = 0x01;

    static constexpr int kButtonCount = 4;
    static constexpr int kGammaSlots = 7;
    static constexpr int kGammaEntries = 1024;

    FpgaRegisterFile(uint8_t versionMajor, uint8_t versionMinor);

    void event(Event event) override;
    bool send(uint8_t byte) override;
    uint8_t recv() override;

    // Every register back to its reset value (the buttons held stay held).
    void reset();
    // The design's version (a new configuration); shown in registers 1 and 0 from now on.
    void setVersion(uint8_t major, uint8_t minor);
    // Buttons 0-3 held (bit n set: button n held); register 0x04 shows them active low.
    void setButtonsHeld(uint8_t held);
    uint8_t buttonsHeld() const { return m_buttonsHeld; }

    // The board's side, without hooks or access checks.
    uint8_t peek(uint8_t reg) const { return m_registers[reg]; }
    void poke(uint8_t reg, uint8_t value) { m_registers[reg] = value; }

    // A read hook gives the value the host reads (stored: the register's stored value); a write
    // hook takes over the write entirely (no storing, no read-only check). Hooks run inside the
    // bus transfer, under the board's lock; they may peek and poke. An empty hook removes it.
    using ReadHook = std::function<uint8_t(uint8_t reg, uint8_t stored)>;
    using WriteHook = std::function<void(uint8_t reg, uint8_t value)>;
    void setReadHook(uint8_t reg, ReadHook hook);
    void setWriteHook(uint8_t reg, WriteHook hook);
    // The write hook in place (empty when none), for a hook that hands some writes on to it.
    WriteHook writeHook(uint8_t reg) const { return m_writeHooks[reg]; }

    static bool isReadOnly(uint8_t reg);

    // Fills a gamma slot (0-6) with a copy of exactly kGammaEntries entries; false (nothing
    // changed) for another slot or count.
    bool setGammaTable(int slot, std::span<const uint16_t> entries);
    void clearGammaTable(int slot);
    // The entries of a slot; null when it is empty or out of range. Valid until the slot is
    // filled again, cleared or the FPGA reset.
    const uint16_t* gammaTable(int slot) const;

    const GuestLog& guestLog() const { return m_log; }

private:
    void write(uint8_t reg, uint8_t value);
    void showButtons();

    std::array<uint8_t, 256> m_registers{};
    std::array<ReadHook, 256> m_readHooks;
    std::array<WriteHook, 256> m_writeHooks;
    using GammaTable = std::array<uint16_t, kGammaEntries>;
    std::array<std::unique_ptr<GammaTable>, kGammaSlots> m_gammaTables;
    uint8_t m_versionMajor;
    uint8_t m_versionMinor;
    uint8_t m_buttonsHeld = 0;
    uint8_t m_pointer = 0;
    bool m_expectPointer = false;
    // The pointer byte was 0x00: the next byte may be the low byte of a 16-bit address.
    bool m_expectLowByte = false;
    GuestLog m_log{"fpga"};
};

}  // namespace boardsim
