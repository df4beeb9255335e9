#include "SensorController.h"

#include <algorithm>
#include <iterator>

namespace boardsim {

namespace {

using Register = SensorController::Register;

// Reset values: the sensor runs its automatic exposure, gain and white balance over the whole
// 400 x 400 field with matrix weights, aiming at a brightness of 90 (stable within 70-110,
// re-adjusting outside 50-130), colour gains of 1, the DVP clock running.
const Register kRegisters[] = {
    {SensorController::kRegDvpControl, 0x20, false},
    {SensorController::kRegSystemControl, 0x02, false},
    {SensorController::kRegSignalWeight, 0x35, false},
    {SensorController::kRegStableInHigh, 110, false},
    {SensorController::kRegStableInLow, 70, false},
    {SensorController::kRegStableOutHigh, 130, false},
    {SensorController::kRegStableOutLow, 50, false},
    {SensorController::kRegExposureHigh, 0x0F, false},  // 4000 lines
    {SensorController::kRegExposureLow, 0xA0, false},
    {SensorController::kRegAecAgcManual, 0x00, false},
    {SensorController::kRegGainHigh, 0x00, false},
    {SensorController::kRegGainLow, 0x10, false},  // gain 2
    {SensorController::kRegIspControl, 0x18, false},
    {SensorController::kRegColourBars, 0x00, false},
    {SensorController::kRegAwbControl, 0x04, false},
    {SensorController::kRegRedGainHigh, 0x04, false},
    {SensorController::kRegRedGainLow, 0x00, false},
    {SensorController::kRegGreenGainHigh, 0x04, false},
    {SensorController::kRegGreenGainLow, 0x00, false},
    {SensorController::kRegBlueGainHigh, 0x04, false},
    {SensorController::kRegBlueGainLow, 0x00, false},
    {SensorController::kRegWindowStartXHigh, 0x00, false},
    {SensorController::kRegWindowStartXLow, 0x00, false},
    {SensorController::kRegWindowEndXHigh, 0x01, false},  // 399
    {SensorController::kRegWindowEndXLow, 0x8F, false},
    {SensorController::kRegWindowStartYHigh, 0x00, false},
    {SensorController::kRegWindowStartYLow, 0x00, false},
    {SensorController::kRegWindowEndYHigh, 0x01, false},
    {SensorController::kRegWindowEndYLow, 0x8F, false},
    // Matrix weights: rows 0 1 1 0 / 1 2 2 1 / 1 2 2 1 / 0 1 1 0.
    {0x4288, 0x10, false},
    {0x4289, 0x01, false},
    {0x428A, 0x21, false},
    {0x428B, 0x12, false},
    {0x428C, 0x21, false},
    {0x428D, 0x12, false},
    {0x428E, 0x10, false},
    {0x428F, 0x01, false},
    {SensorController::kRegAverageIntensity, 90, true},
};

}  // namespace

std::span<const SensorController::Register> SensorController::registers() {
    return kRegisters;
}

const SensorController::Register* SensorController::find(uint16_t address) {
    const auto end = std::end(kRegisters);
    const auto it =
        std::lower_bound(std::begin(kRegisters), end, address,
                         [](const Register& reg, uint16_t wanted) { return reg.address < wanted; });
    return it != end && it->address == address ? it : nullptr;
}

SensorController::SensorController() {
    reset();
}

void SensorController::restoreRegisters() {
    m_values.clear();
    for (const Register& reg : kRegisters) {
        m_values[reg.address] = reg.resetValue;
    }
}

void SensorController::reset() {
    restoreRegisters();
    m_pointer = 0;
    m_addressBytesSeen = 0;
}

uint8_t SensorController::peek(uint16_t address) const {
    const auto it = m_values.find(address);
    return it != m_values.end() ? it->second : 0;
}

void SensorController::event(Event event) {
    m_writing = event == Event::StartSend;
    if (m_writing) {
        m_addressBytesSeen = 0;
    }
}

bool SensorController::send(uint8_t byte) {
    if (m_addressBytesSeen < 2) {
        if (m_addressBytesSeen == 0) {
            m_pointer = 0;
        }
        m_pointer = static_cast<uint16_t>(m_pointer << 8 | byte);
        ++m_addressBytesSeen;
        return true;
    }
    const uint16_t address = m_pointer++;
    const Register* known = find(address);
    if (known == nullptr) {
        reportUnknown(address);
    } else if (known->readOnly) {
        m_log.errorOnce(address, "write of " + GuestLog::hex(byte, 2) + " to read-only register " +
                                     GuestLog::hex(address, 4) + " ignored");
        return true;
    }
    if (address == kRegSystemControl && (byte & kSystemSoftReset) != 0) {
        restoreRegisters();
        byte &= static_cast<uint8_t>(~kSystemSoftReset);
    }
    m_values[address] = byte;
    return true;
}

uint8_t SensorController::recv() {
    const uint16_t address = m_pointer++;
    if (find(address) == nullptr) {
        reportUnknown(address);
    }
    return peek(address);
}

void SensorController::reportUnknown(uint16_t address) {
    m_log.errorOnce(address, "access to unknown register " + GuestLog::hex(address, 4));
}

}  // namespace boardsim
