// The board's USB microcontroller: it answers the vendor requests, bridges request 0xA9 to the
// I2C bus and keeps the state of the USB side (bus speed setting, acquisition mode, frame
// counters). Requests it does not know stall.
//
// Vendor requests:
//   0xA9 IN/OUT  I2C register read/write. wValue register, wIndex slave (bits 0-6) plus 0x100
//                for a 16-bit register address (sent high byte first). A write to a slave that
//                does not acknowledge stalls; a read from one succeeds with 0xCD in every byte
//                (the controller's reply buffer filler).
//   0xAA OUT     speed setting 0.      0xAB OUT  speed setting 1.
//   0xB0 IN      firmware version, 16-bit little-endian.
//   0xC0 OUT     wValue 0: reset the USB FIFO (bulk IN data dropped, halt cleared, frame
//                counters 0); wValue 1: acquisition mode 1 (start: a second-variant board
//                streams its frames, see FrameSource); wValue 3: mode 3 (stop).
//   0xC0 IN      acquisition state, 16-bit little-endian: 1 while mode 1 runs, 3 when stopped.
//   0xC1 IN      frame counters: frames the sensor produced and transfers the host read to
//                their end, 16-bit little-endian each.
//   0x19 OUT     wIndex 0x7D, data 0x00 0x01: recovery after a failed transfer (bulk IN halt
//                cleared, queued data dropped).
//   0xA0 OUT/IN  program RAM and CPU control register (ControllerRam): wValue address, wIndex
//                0. Releasing the CPU runs the loaded program: the controller restarts with the
//                program's version and the board re-enumerates (takeRestart). The controller's
//                boot logic answers it: while the CPU is held in reset it is the only request
//                answered at all (the board keeps the others from the controller).
// IN replies longer than wLength are cut to wLength, as on the bus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "ControllerRam.h"
#include "i2c/I2cBus.h"
#include "usb/DataPipe.h"
#include "usb/SetupPacket.h"

namespace boardsim {

class UsbController {
public:
    static constexpr uint8_t kRequestRecover = 0x19;
    static constexpr uint8_t kRequestI2c = 0xA9;
    static constexpr uint8_t kRequestSpeed0 = 0xAA;
    static constexpr uint8_t kRequestSpeed1 = 0xAB;
    static constexpr uint8_t kRequestVersion = 0xB0;
    static constexpr uint8_t kRequestRamLoad = 0xA0;
    static constexpr uint8_t kRequestAcquisition = 0xC0;
    static constexpr uint8_t kRequestFrameCounts = 0xC1;

    // wIndex bit of request 0xA9: the register address is 16 bits wide.
    static constexpr uint16_t kWideRegister = 0x100;
    // What a read from an I2C slave that does not answer returns.
    static constexpr uint8_t kI2cFiller = 0xCD;
    // wIndex of the recovery request.
    static constexpr uint16_t kRecoverIndex = 0x7D;
    // wValue of request 0xC0 OUT.
    static constexpr uint16_t kFifoReset = 0;
    static constexpr uint16_t kModeStart = 1;
    static constexpr uint16_t kModeStop = 3;
    // Acquisition states of request 0xC0 IN.
    static constexpr uint16_t kStateRunning = 1;
    static constexpr uint16_t kStateStopped = 3;

    UsbController(I2cBus& bus, DataPipe& bulkIn, uint16_t firmwareVersion);

    // A vendor request; the bytes transferred or a negative errno (-EPIPE: stalled).
    int handleVendor(const SetupPacket& setup, uint8_t* data);

    // Back to the state after power-on or a restart: speed 0, acquisition stopped, counters 0.
    void powerOn();
    // Power-on: the boot loader runs the boot image in the EEPROM's bytes (ControllerRam::boot).
    void boot(std::span<const uint8_t> eeprom) { m_firmwareVersion = m_ram.boot(eeprom); }
    // Whether the CPU was released since the last call: the board must re-enumerate.
    bool takeRestart() { return std::exchange(m_restartPending, false); }
    const ControllerRam& ram() const { return m_ram; }

    // An I2C register write as request 0xA9 does it; false when the slave does not answer.
    bool writeI2c(uint8_t slave, uint16_t reg, bool wide, const uint8_t* data, std::size_t length);

    uint16_t firmwareVersion() const { return m_firmwareVersion; }
    // The last speed request: 0 (0xAA) or 1 (0xAB).
    int speed() const { return m_speed; }
    // The last acquisition mode requested (kModeStart or kModeStop).
    uint16_t acquisitionMode() const { return m_mode; }
    uint16_t acquisitionState() const;

    // Frame counters, advanced by the board's frame source; they wrap at 16 bits.
    void countFrameProduced(uint32_t count = 1) {
        m_framesProduced = static_cast<uint16_t>(m_framesProduced + count);
    }
    void countFrameSent(uint32_t count = 1) {
        m_framesSent = static_cast<uint16_t>(m_framesSent + count);
    }
    uint16_t framesProduced() const { return m_framesProduced; }
    uint16_t framesSent() const { return m_framesSent; }

private:
    int i2cWrite(const SetupPacket& setup, const uint8_t* data);
    int i2cRead(const SetupPacket& setup, uint8_t* data);
    // Start, slave address and register address: the common head of both directions.
    bool i2cAddressRegister(uint8_t slave, uint16_t reg, bool wide);
    int acquisition(const SetupPacket& setup, uint8_t* data);
    int recover(const SetupPacket& setup, const uint8_t* data);
    int ramLoad(const SetupPacket& setup, uint8_t* data);
    // Drops what waits on the bulk IN pipe and clears its halt.
    void flushBulkIn();

    I2cBus& m_bus;
    DataPipe& m_bulkIn;
    ControllerRam m_ram;
    uint16_t m_firmwareVersion;
    bool m_restartPending = false;
    int m_speed = 0;
    uint16_t m_mode = kModeStop;
    uint16_t m_framesProduced = 0;
    uint16_t m_framesSent = 0;
};

}  // namespace boardsim
