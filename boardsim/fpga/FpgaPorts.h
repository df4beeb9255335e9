// The FPGA's programmable side: its JTAG port and configuration engine, the SPI window to its
// configuration flash, its gamma table memory, and the start-up handshake with its busy and
// ready registers.
//
// Configuration: at power-on the FPGA configures itself from its configuration flash, reading
// it from address 0 into its configuration engine: a complete, valid stream starts its design
// (done set, registers 1 and 0 the stream's version, register 0x41 ready); a blank, erased or
// damaged flash leaves it unconfigured (done clear, registers 1 and 0 read 0, the start-up
// handshake never answers ready). The board leaves the factory with the design its
// configuration names in the flash, as the host's flash programmer would have written its
// ".mcs" image (FlashImage); version 0.0 leaves the flash blank.
// JPROGRAM clears the configuration (registers 1 and 0 read 0, register 0x41 reads 0, the gamma
// memory is empty). A configuration loaded over JTAG starts a design with the version its
// stream carried: the register file returns to its reset state with that version, and register
// 0x41 reads 0 until the host writes 1 to register 0x40 (the start-up handshake). It lives in
// the FPGA's memory only: a power cycle (a replug) loses it and the flash's design comes back.
//
// Registers: 0x40 write 1: start-up handshake, 0x41 reads 1 once a configured design has run
// it; 0x60 reads the stored value (non-zero: busy); 0x15, 0x3F and 0x46 are the memory tester's
// (MemoryTester). Faults on demand: busy (0x60 reads 1), not ready (0x41 reads 0) and a stuck
// data line of the frame memory (the memory test fails).
#pragma once

#include <cstdint>
#include <optional>

#include "ConfigurationEngine.h"
#include "GammaPort.h"
#include "JtagTap.h"
#include "MemoryTester.h"
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

    // The board powers up (after the register file's reset): the FPGA configures itself from
    // its flash.
    void powerOn();

    // Request 0xD0.
    int jtag(const SetupPacket& setup, uint8_t* data) { return m_tap.handle(setup, data); }
    // Bulk OUT bytes: true when the gamma load port took them (it drains the FPGA's FIFO only
    // while armed).
    bool bulkOut(const uint8_t* data, uint32_t length) { return m_gamma.bulkOut(data, length); }
    // The controller ends a flash programming sequence (request 0xAA): write disable, which
    // also ends an auto-address-increment sequence.
    void endFlashProgramming();

    void setBusy(bool busy) { m_busy = busy; }
    bool busy() const { return m_busy; }
    void setNotReady(bool notReady) { m_notReady = notReady; }
    bool notReady() const { return m_notReady; }
    // JTAG data transfers move nothing (JtagTap).
    void setJtagStalled(bool stalled) { m_tap.setStalled(stalled); }
    bool jtagStalled() const { return m_tap.stalled(); }
    // A data line of the frame memory stuck low (MemoryTester).
    void setMemoryFault(bool fault) { m_memory.setStuckDataLine(fault); }
    bool memoryFault() const { return m_memory.stuckDataLine(); }

    const SpiFlash& flash() const { return m_flash; }
    const JtagTap& tap() const { return m_tap; }
    const GammaPort& gamma() const { return m_gamma; }

private:
    bool configured() const;
    // The version of the design in the flash, if it holds a complete, valid stream.
    std::optional<uint16_t> flashDesign() const;
    void clearConfiguration();
    void startDesign(uint16_t version);

    FpgaRegisterFile& m_fpga;
    SpiFlash m_flash;
    SpiWindow m_window;
    GammaPort m_gamma;
    JtagTap m_tap;
    MemoryTester m_memory;
    bool m_busy;
    bool m_notReady;
};

}  // namespace boardsim
