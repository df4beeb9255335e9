// The FPGA's gamma table memory and its two ports: the load port (registers 0x6D-0x71 and the
// bulk OUT pipe) and the read-back port (registers 0x61, 0x63-0x66 and the bulk IN pipe).
//
// Memory: kSlots slots of 4096 bytes from kBase (slot n at kBase + n * 0x1000). An entry is a
// big-endian 32-bit word holding three 10-bit levels A (bits 20-29), B (bits 10-19) and C
// (bits 0-9). Slots 0 to 6 feed the gamma stage's tables 0 to 6 (FpgaRegisterFile): the picture
// applies one level per input, the mean of A, B and C of the entry. The memory is the FPGA's
// RAM: empty (zeros) after power-on or a new configuration. A slot takes memory from its first
// load on.
//
// Load: a rising edge of register 0x6D bit 0 arms the port with the slot address in registers
// 0x6E-0x71 (least significant byte first); the next 4096 bytes the host writes on bulk OUT fill
// that slot, after which the port disarms. An address that is not the start of a slot is a guest
// error and arms nothing. The load port is what drains the FPGA's bulk OUT FIFO: while it is not
// armed, bytes on bulk OUT are not taken (bulkOut false) and the host's transfer is not
// answered (the board makes it wait for its time-out).
// Read-back: a rising edge of register 0x61 bit 0 with an address in registers 0x63-0x66 inside
// the gamma memory queues the 4096 bytes of that slot on bulk IN (the transfer length registers
// do not apply: a read-back is always one slot). Other addresses are the frame memory's, and the
// pulse goes on to the frame transfer's own hook.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "chips/FpgaRegisterFile.h"
#include "log/GuestLog.h"
#include "usb/DataPipe.h"

namespace boardsim {

class GammaPort {
public:
    static constexpr uint32_t kBase = 0x00D00000;
    static constexpr uint32_t kSlotBytes = 0x1000;
    static constexpr int kSlots = 16;
    static constexpr int kEntries = 1024;

    // Installs the port's hooks on the register file; call after the frame transfer's hook on
    // register 0x61 is in place. Both parts are borrowed.
    GammaPort(FpgaRegisterFile& fpga, DataPipe& bulkIn);

    // The memory cleared, the load port disarmed (and the gamma stage's tables emptied).
    void clear();

    // Bytes the host wrote on bulk OUT: taken (true) while the load port is armed.
    bool bulkOut(const uint8_t* data, uint32_t length);
    bool armed() const { return m_loadSlot >= 0; }

    // The 4096 bytes of a slot.
    std::vector<uint8_t> slot(int n) const;

    // One table entry from its three levels, and the level the picture applies.
    static uint32_t entry(uint16_t a, uint16_t b, uint16_t c);
    static uint16_t pictureLevel(uint32_t entry);

private:
    void loadStrobe(uint8_t reg, uint8_t value);
    void readPulse(uint8_t reg, uint8_t value);
    uint32_t address(uint8_t firstReg) const;
    // The slot of an address at a slot's start, or -1.
    static int slotAt(uint32_t address);
    void slotFilled(int n);

    FpgaRegisterFile& m_fpga;
    DataPipe& m_bulkIn;
    FpgaRegisterFile::WriteHook m_framePulse;
    // Empty for a slot that holds only zeros.
    std::array<std::vector<uint8_t>, kSlots> m_memory;
    int m_loadSlot = -1;
    std::size_t m_loaded = 0;
    GuestLog m_log{"fpga-gamma"};
};

}  // namespace boardsim
