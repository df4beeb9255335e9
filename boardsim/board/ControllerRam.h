// The USB controller's program RAM and its CPU control register (0xE600, bit 0: CPU held in
// reset), as request 0xA0 and the boot loader reach them. Addresses outside the RAM and the
// control register take writes and drop them, and read 0.
//
// Releasing the CPU (bit 0 from 1 to 0) runs the program in RAM: the controller starts over
// with the version the program carries (ProgramImage), 0 when it carries none.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "firmware/BootImage.h"

namespace boardsim {

class ControllerRam {
public:
    static constexpr std::size_t kSize = 0x4000;
    static constexpr uint16_t kCpuControl = 0xE600;
    static constexpr uint8_t kCpuReset = 0x01;

    ControllerRam() : m_ram(kSize, 0) {}

    // Writes from address on; true when this released the CPU.
    bool write(uint16_t address, std::span<const uint8_t> data);
    void read(uint16_t address, std::span<uint8_t> data) const;

    // Power-on: the boot loader loads a boot image (from the EEPROM's bytes) and runs it. The
    // version the firmware reports: the program's own, else the image header's device ID, or 0
    // when the EEPROM holds no boot image.
    uint16_t boot(std::span<const uint8_t> eeprom);
    // The version of the program in RAM (0 when it carries none).
    uint16_t programVersion() const;

    bool cpuHeld() const { return (m_cpuControl & kCpuReset) != 0; }
    const std::vector<uint8_t>& ram() const { return m_ram; }

private:
    std::vector<uint8_t> m_ram;
    uint8_t m_cpuControl = 0;
};

}  // namespace boardsim
