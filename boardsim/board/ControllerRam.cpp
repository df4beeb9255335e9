#include "ControllerRam.h"

#include <algorithm>

#include "firmware/ProgramImage.h"

namespace boardsim {

bool ControllerRam::write(uint16_t address, std::span<const uint8_t> data) {
    bool released = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::size_t at = address + i;
        if (at < kSize) {
            m_ram[at] = data[i];
        } else if (at == kCpuControl) {
            released = cpuHeld() && (data[i] & kCpuReset) == 0;
            m_cpuControl = data[i];
        }
    }
    return released;
}

void ControllerRam::read(uint16_t address, std::span<uint8_t> data) const {
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::size_t at = address + i;
        data[i] = at < kSize ? m_ram[at] : at == kCpuControl ? m_cpuControl : 0;
    }
}

uint16_t ControllerRam::programVersion() const {
    return ProgramImage::version(m_ram).value_or(0);
}

uint16_t ControllerRam::boot(std::span<const uint8_t> eeprom) {
    std::fill(m_ram.begin(), m_ram.end(), 0);
    m_cpuControl = 0;
    const auto image = BootImage::parse(eeprom);
    if (!image) {
        return 0;
    }
    for (const BootImage::Record& record : image->records) {
        write(record.address, record.data);
    }
    return ProgramImage::version(m_ram).value_or(image->deviceId);
}

}  // namespace boardsim
