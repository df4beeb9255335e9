// One simulated camera board: the USB controller, its I2C bus and the parts on it, as one USB
// device. Thread-safe: requests from several host threads are handled one at a time, as the
// board's controller does; the accessors and fault switches may be used from any thread.
//
// Parts on the I2C bus (7-bit addresses):
//   0x35 sensor controller (16-bit register addresses)   0x3C FPGA register file
//   0x48 ADS1015 ADC        0x4B LM75 temperature sensor
//   0x51 boot EEPROM, 16 KiB (16-bit addresses)           0x54 manufacturing EEPROM, 256 bytes
//   0x62 PCA9633 or 0x60 PCA9530 LED controller, as the board's configuration says
//
// Wiring around the parts:
//   - ADC inputs: AIN0 the 5 V USB supply through a 1:2 divider, AIN1 the 3.3 V rail, AIN2 the
//     sensor's 1.8 V rail, AIN3 the FPGA's 1.2 V core. At power-on the controller's firmware
//     sets the ADC to convert AIN0 continuously at +-4.096 V (configuration 0x4283).
//   - Lamp: the LED controller's outputs drive the scope's lamp through inverting stages, so
//     the lamp is lit while an output's driver is off. PCA9633: output 2 drives the lamp,
//     output 1 cuts the lamp supply while its driver is on, outputs 0 and 3 are not connected.
//     PCA9530: both outputs drive a lamp.
//   - The temperature sensor sits next to the FPGA: the board warms from 24 °C towards 38 °C
//     with a time constant of ten minutes while it is powered.
//
// Frames: the sensor, the FPGA's memory banks and the transfers to the host are FrameSource's
// (frame rate from the configuration; a manual clock for tests). The picture follows the
// registers (PictureSettingsReader). The board has one thread of its own, only while it is
// needed: for the second variant's stream (acquisition mode 1) and for rendering frames ahead
// while a host polls; it ends when neither needs it, when the board is unplugged, and with the
// board.
//
// Plugging a board in after it was unplugged powers it up again: every register part returns
// to its power-on state, the FPGA configures itself from its configuration flash (a design
// loaded over JTAG is lost) and the controller boots from the boot EEPROM (its firmware version is
// then the boot image's; the EEPROMs keep their contents, held buttons stay held; injected
// time-outs and NACKs stay in place, a bulk IN stall does not survive the new enumeration).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "FrameSource.h"
#include "UsbController.h"
#include "chips/Ads1015.h"
#include "chips/Eeprom24.h"
#include "chips/FpgaRegisterFile.h"
#include "chips/LedController.h"
#include "chips/Lm75.h"
#include "chips/SensorController.h"
#include "config/BoardConfig.h"
#include "fpga/FpgaPorts.h"
#include "i2c/I2cBus.h"
#include "usb/DataPipe.h"
#include "usb/NakWait.h"
#include "usb/UsbDeviceModel.h"

namespace boardsim {

class CameraBoard : public UsbDeviceModel {
public:
    // I2C addresses of the board's parts.
    static constexpr uint8_t kAddressSensor = 0x35;
    static constexpr uint8_t kAddressFpga = 0x3C;
    static constexpr uint8_t kAddressAdc = 0x48;
    static constexpr uint8_t kAddressTemperature = 0x4B;
    static constexpr uint8_t kAddressBootEeprom = 0x51;
    static constexpr uint8_t kAddressMfgEeprom = 0x54;
    static constexpr uint8_t kAddressPca9530 = 0x60;
    static constexpr uint8_t kAddressPca9633 = 0x62;
    // Endpoint addresses of the board's controller.
    static constexpr uint8_t kBulkIn = 0x86;
    static constexpr uint8_t kBulkOut = 0x02;
    static constexpr uint8_t kInterruptIn = 0x81;
    static constexpr uint8_t kInterruptOut = 0x01;

    // How long a control transfer that times out keeps the caller waiting.
    static constexpr std::chrono::milliseconds kControlTimeoutDelay{20};
    // setControlTimeouts: every control transfer times out until cleared.
    static constexpr int kUntilCleared = -1;

    // number: the board's number among the boards of its model (its path's last field).
    CameraBoard(const BoardConfig& config, int number);
    ~CameraBoard() override;

    // "sim:<model label>:<number>"
    const std::string& path() const { return m_path; }
    const BoardConfig& config() const { return m_config; }
    const BoardModel& model() const { return *m_config.model; }

    bool plugged() const;
    // The process ends: the board's own thread ends and is joined (call without the lock).
    void finishThreads() { m_frames.finishThread(); }
    void setPlugged(bool plugged);
    // How many times the board has been plugged in (1 from construction). A handle a host opened
    // belongs to one attachment: once the board left, it never works again, even after a replug.
    uint64_t attachment() const;

    // The controller restarts with a program loaded into its RAM (request 0xA0 releasing the
    // CPU): the board drops off the bus and comes back as a new attachment, every other part
    // as it was. This happens on the thread of the releasing control transfer, after its
    // result is known and outside the board's lock, through the handler when one is set (the
    // host's, to tell its listeners: leaveBus, then rejoinBus), else directly.
    using ReenumerationHandler = std::function<void(const std::string& path)>;
    void setReenumerationHandler(ReenumerationHandler handler);
    // The two halves of a re-enumeration (no power cycle: only the controller starts over).
    void leaveBus();
    void rejoinBus();
    // The controller's program RAM (request 0xA0).
    std::vector<uint8_t> controllerRam() const;
    // The controller's CPU is held in reset (0xE600 bit 0): see handleControl.
    bool cpuHeld() const;
    // The boot EEPROM's contents (I2C 0x51).
    std::vector<uint8_t> bootEeprom() const;

    const std::vector<EndpointInfo>& endpoints() const override;
    // While the controller's CPU is held in reset only its boot logic answers: request 0xA0.
    // Every other vendor request times out (after kControlTimeoutDelay), and transfers on the
    // data pipes wait as for a NAK (NakWait) until the CPU runs again or the board leaves.
    int handleControl(const SetupPacket& setup, uint8_t* data) override;
    // Bulk OUT goes to the FPGA's FIFO, which only the gamma load port drains, and only while it
    // is armed (GammaPort): otherwise the transfer waits as for a NAK and takes nothing.
    int handleData(uint8_t endpoint, uint8_t* data, uint32_t length,
                   std::chrono::milliseconds timeout) override;
    void cancelData(uint8_t endpoint) override;
    int clearHalt(uint8_t endpoint) override;

    // The board's side of the data endpoints.
    // Bulk IN: what the FPGA sends to the host.
    DataPipe& bulkIn() { return m_bulkIn; }
    // Interrupt IN answers at once, little-endian, with the FPGA's frame counter (frames
    // produced, low 16 bits), or with a value pinned here until cleared.
    void setInterruptInValue(uint32_t value);
    void clearInterruptInValue();
    // Receivers of what the host writes on the OUT endpoints and the board takes (bulk OUT: what
    // the gamma load port drained); unset ones drop the bytes.
    using OutHandler = std::function<void(const uint8_t* data, uint32_t length)>;
    void setInterruptOutHandler(OutHandler handler);
    void setBulkOutHandler(OutHandler handler);

    // Handle buttons 0-3 (see HandleButton for their names); false for another number.
    bool pressButton(int button);
    bool releaseButton(int button);
    // Bit n set: button n held.
    uint8_t buttonsHeld() const;

    // Faults.
    // The next count control transfers (kUntilCleared: all of them until this is called with
    // 0) answer -ETIMEDOUT after kControlTimeoutDelay and change nothing on the board.
    void setControlTimeouts(int count);
    // Time-outs still to come (kUntilCleared or a count; 0 when none).
    int controlTimeouts() const;
    // The part at an I2C address stops answering (as if absent) or answers again.
    void setI2cNack(uint8_t address, bool nack);
    bool i2cNack(uint8_t address) const;
    // Halts the bulk IN endpoint: reads fail with -EPIPE until the host clears the halt
    // (clearHalt, request 0x19 or the FIFO reset 0xC0) or this is called with false.
    void setBulkInStalled(bool stalled);
    bool bulkInStalled() const;

    // What the host set and what the board shows.
    int speedSetting() const;
    uint16_t acquisitionMode() const;
    // FPGA design version (register 1 << 8 | register 0) and controller firmware version.
    uint16_t fpgaVersion() const;
    uint16_t mcuVersion() const;
    uint8_t fpgaRegister(uint8_t reg) const;
    void setFpgaRegister(uint8_t reg, uint8_t value);
    uint8_t sensorRegister(uint16_t reg) const;
    void setSensorRegister(uint16_t reg, uint8_t value);
    // The LED controller's outputs, output 0 first.
    std::vector<LedController::Channel> ledOutputs() const;
    // The lamp's brightness, 0 (dark) to 1 (fully lit), by the wiring above.
    double illumination() const;
    // Board temperature in °C now.
    double temperature() const;
    // The board's temperature after it has been powered for that long.
    static double boardTemperature(std::chrono::duration<double> powered);

    // Frame counters of the controller (request 0xC1): the frame source advances them; these
    // add one by hand.
    void countFrameProduced();
    void countFrameSent();

    // Frames (see FrameSource). Produced since power-on; dropped by the second variant's stream
    // when the host fell behind; whether that stream runs.
    uint64_t framesProduced() const;
    uint64_t framesDropped() const;
    bool streaming() const;
    // The frame clock stands still from now on, and moves only when advanced (tests).
    void useManualClock();
    void advanceClock(std::chrono::nanoseconds step);
    // What the registers ask of the picture now.
    PictureSettings pictureSettings() const;
    // Fills a gamma table slot of the FPGA (FpgaRegisterFile::setGammaTable).
    bool setGammaTable(int slot, std::span<const uint16_t> entries);

    // The FPGA's programmable side (FpgaPorts).
    // The FPGA's gamma memory: the 4096 bytes of slot n (0 to GammaPort::kSlots - 1).
    std::vector<uint8_t> gammaSlot(int n) const;
    // The configuration flash's array and status register.
    std::vector<uint8_t> flashContents() const;
    uint8_t flashStatus() const;
    // The JTAG port's done flag (the FPGA holds a configuration).
    bool fpgaDone() const;
    // Faults: register 0x60 reads busy; register 0x41 never reads ready.
    void setFpgaBusy(bool busy);
    bool fpgaBusy() const;
    void setFpgaNotReady(bool notReady);
    bool fpgaNotReady() const;
    // Fault: JTAG data transfers (request 0xD0, operation 0x0F OUT) take nothing and report 0
    // bytes moved.
    void setJtagStalled(bool stalled);
    bool jtagStalled() const;
    // Fault: a data line of the FPGA's frame memory stuck low; the FPGA's memory test fails.
    void setMemoryFault(bool fault);
    bool memoryFault() const;

private:
    const BoardConfig m_config;
    const std::string m_path;
    const std::vector<EndpointInfo> m_endpoints;

    bool hasEndpoint(uint8_t endpoint) const;
    // A vendor request to the controller or the FPGA's JTAG port; the caller holds the lock.
    int vendorRequest(const SetupPacket& setup, uint8_t* data);
    uint8_t ledAddress() const {
        return m_config.ledChip == LedChip::Pca9530 ? kAddressPca9530 : kAddressPca9633;
    }
    // The lamp's brightness from the LED controller's outputs, kept in m_lamp after every change
    // (power-on, a write to the LED controller); the caller holds the lock.
    void updateLamp();
    // Every part to its power-on state, then the controller firmware's start-up.
    void powerOn();
    // The controller runs a newly loaded program (see setReenumerationHandler).
    void reenumerate();

    mutable std::mutex m_mutex;
    bool m_plugged = true;
    uint64_t m_attachment = 1;
    int m_controlTimeouts = 0;
    std::chrono::steady_clock::time_point m_poweredSince;

    DataPipe m_bulkIn;
    NakWait m_nak;
    std::optional<uint32_t> m_pinnedInterruptIn;
    std::mutex m_handlerMutex;
    OutHandler m_interruptOutHandler;
    OutHandler m_bulkOutHandler;
    ReenumerationHandler m_reenumerationHandler;

    I2cBus m_bus;
    Eeprom24 m_mfgEeprom;
    Eeprom24 m_bootEeprom;
    FpgaRegisterFile m_fpga;
    SensorController m_sensor;
    std::unique_ptr<LedController> m_led;
    double m_lamp = 0.0;
    Lm75 m_thermometer;
    Ads1015 m_adc;
    UsbController m_controller;
    // Its stream thread uses the parts above and the lock. Getters advance it.
    mutable FrameSource m_frames;
    // After the frame source: the gamma read-back hands frame transfers on to its hook.
    FpgaPorts m_ports;
};

}  // namespace boardsim
