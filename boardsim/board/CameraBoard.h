// One simulated camera board: the USB controller, its I2C bus and the parts on it, as one USB
// device. Thread-safe: requests from several host threads are handled one at a time, as the
// board's controller does.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "UsbController.h"
#include "chips/Eeprom24.h"
#include "config/BoardConfig.h"
#include "i2c/I2cBus.h"
#include "usb/UsbDeviceModel.h"

namespace boardsim {

class CameraBoard : public UsbDeviceModel {
public:
    // I2C addresses of the board's parts.
    static constexpr uint8_t kAddressMfgEeprom = 0x54;
    static constexpr uint8_t kAddressBootEeprom = 0x51;

    // number: the board's number among the boards of its model (its path's last field).
    CameraBoard(const BoardConfig& config, int number);
    ~CameraBoard() override;

    // "sim:<model label>:<number>"
    const std::string& path() const { return m_path; }
    const BoardConfig& config() const { return m_config; }
    const BoardModel& model() const { return *m_config.model; }

    bool plugged() const;
    void setPlugged(bool plugged);

    std::vector<EndpointInfo> endpoints() const override;
    int handleControl(const SetupPacket& setup, uint8_t* data) override;

private:
    const BoardConfig m_config;
    const std::string m_path;

    mutable std::mutex m_mutex;
    bool m_plugged = true;

    I2cBus m_bus;
    Eeprom24 m_mfgEeprom;
    Eeprom24 m_bootEeprom;
    UsbController m_controller;
};

}  // namespace boardsim
