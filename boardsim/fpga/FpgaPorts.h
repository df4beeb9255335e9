// The FPGA's programmable side: its JTAG port and configuration engine, the SPI window to its
// configuration flash, its gamma table memory, and the start-up handshake with its busy and
// ready registers.
//
// Configuration: the FPGA starts configured with the design the board's configuration names.
// JPROGRAM clears it (registers 1 and 0 read 0, register 0x41 reads 0, the gamma memory is
// empty). A configuration loaded over JTAG starts a design with the version its stream carried:
// the register file returns to its reset state with that version, and register 0x41 reads 0
// until the host writes 1 to register 0x40 (the start-up handshake). The design survives a
// replug of the board.
//
// Registers: 0x40 write 1: start-up handshake, 0x41 reads 1 once a configured design has run
// it; 0x60 reads the stored value (non-zero: busy). Faults on demand: busy (0x60 reads 1) and
// not ready (0x41 reads 0).
#pragma once

#include <cstdint>

#include "ConfigurationEngine.h"
#include "GammaPort.h"
#include "JtagTap.h"
#include "SpiWindow.h"
#include "chips/FpgaRegisterFile.h"
#include "chips/SpiFlash.h"
#include "config/BoardConfig.h"
#include "usb/DataPipe.h"
#include "usb/SetupPacket.h"

namespace boardsim {

class FpgaPorts {
public:
    // Installs the hooks on the register file (after the frame transfer's hooks). The parts are
    // borrowed.
    FpgaPorts(const BoardConfig& config, FpgaRegisterFile& fpga, DataPipe& bulkIn);

    // The board powers up (after the register file's reset).
    void powerOn();

    // Request 0xD0.
    int jtag(const SetupPacket& setup, uint8_t* data) { return m_tap.handle(setup, data); }
    // Bulk OUT bytes: true when the gamma load port took them.
    bool bulkOut(const uint8_t* data, uint32_t length) { return m_gamma.bulkOut(data, length); }
    // The controller ends a flash programming sequence (request 0xAA): write disable, which
    // also ends an auto-address-increment sequence.
    void endFlashProgramming();

    void setBusy(bool busy) { m_busy = busy; }
    bool busy() const { return m_busy; }
    void setNotReady(bool notReady) { m_notReady = notReady; }
    bool notReady() const { return m_notReady; }

    const SpiFlash& flash() const { return m_flash; }
    const JtagTap& tap() const { return m_tap; }
    const GammaPort& gamma() const { return m_gamma; }

private:
    bool configured() const;
    void clearConfiguration();
    void startDesign(uint16_t version);

    FpgaRegisterFile& m_fpga;
    SpiFlash m_flash;
    SpiWindow m_window;
    GammaPort m_gamma;
    JtagTap m_tap;
    bool m_busy;
    bool m_notReady;
};

}  // namespace boardsim
