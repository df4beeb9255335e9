#include "GammaPort.h"

#include <algorithm>
#include <cstring>

namespace boardsim {

namespace {

constexpr uint8_t kPulseBit = 0x01;
constexpr uint32_t kLevelMask = 0x3FF;

}  // namespace

GammaPort::GammaPort(FpgaRegisterFile& fpga, DataPipe& bulkIn)
    : m_fpga(fpga),
      m_bulkIn(bulkIn),
      m_framePulse(fpga.writeHook(FpgaRegisterFile::kRegStartPulse)) {
    fpga.setWriteHook(FpgaRegisterFile::kRegGammaLoad,
                      [this](uint8_t reg, uint8_t value) { loadStrobe(reg, value); });
    fpga.setWriteHook(FpgaRegisterFile::kRegStartPulse,
                      [this](uint8_t reg, uint8_t value) { readPulse(reg, value); });
}

void GammaPort::clear() {
    for (int n = 0; n < kSlots; ++n) {
        std::vector<uint8_t>().swap(m_memory[n]);
        m_fpga.clearGammaTable(n);
    }
    m_loadSlot = -1;
    m_loaded = 0;
}

std::vector<uint8_t> GammaPort::slot(int n) const {
    return m_memory[n].empty() ? std::vector<uint8_t>(kSlotBytes, 0) : m_memory[n];
}

uint32_t GammaPort::entry(uint16_t a, uint16_t b, uint16_t c) {
    return (a & kLevelMask) << 20 | (b & kLevelMask) << 10 | (c & kLevelMask);
}

uint16_t GammaPort::pictureLevel(uint32_t entry) {
    const uint32_t sum =
        (entry >> 20 & kLevelMask) + (entry >> 10 & kLevelMask) + (entry & kLevelMask);
    return static_cast<uint16_t>((sum + 1) / 3);
}

uint32_t GammaPort::address(uint8_t firstReg) const {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | m_fpga.peek(static_cast<uint8_t>(firstReg + i));
    }
    return value;
}

int GammaPort::slotAt(uint32_t address) {
    if (address < kBase || address >= kBase + kSlots * kSlotBytes || address % kSlotBytes != 0) {
        return -1;
    }
    return static_cast<int>((address - kBase) / kSlotBytes);
}

void GammaPort::loadStrobe(uint8_t reg, uint8_t value) {
    const uint8_t before = m_fpga.peek(reg);
    m_fpga.poke(reg, value);
    if ((before & kPulseBit) != 0 || (value & kPulseBit) == 0) {
        return;
    }
    const uint32_t target = address(FpgaRegisterFile::kRegGammaAddress);
    m_loadSlot = slotAt(target);
    m_loaded = 0;
    if (m_loadSlot < 0) {
        m_log.error("gamma load at " + GuestLog::hex(target, 8) + ", not a table slot, ignored");
    }
}

bool GammaPort::bulkOut(const uint8_t* data, uint32_t length) {
    if (m_loadSlot < 0) {
        return false;
    }
    std::vector<uint8_t>& slot = m_memory[m_loadSlot];
    if (slot.empty()) {
        slot.assign(kSlotBytes, 0);
    }
    const std::size_t taken = std::min<std::size_t>(length, kSlotBytes - m_loaded);
    std::memcpy(slot.data() + m_loaded, data, taken);
    m_loaded += taken;
    if (m_loaded == kSlotBytes) {
        slotFilled(m_loadSlot);
        m_loadSlot = -1;
    }
    return true;
}

void GammaPort::slotFilled(int n) {
    if (n >= FpgaRegisterFile::kGammaSlots) {
        return;
    }
    std::vector<uint16_t> levels(kEntries);
    const std::vector<uint8_t>& slot = m_memory[n];
    for (int k = 0; k < kEntries; ++k) {
        const uint32_t word = static_cast<uint32_t>(slot[4 * k]) << 24 | slot[4 * k + 1] << 16 |
                              slot[4 * k + 2] << 8 | slot[4 * k + 3];
        levels[k] = pictureLevel(word);
    }
    m_fpga.setGammaTable(n, levels);
}

void GammaPort::readPulse(uint8_t reg, uint8_t value) {
    const uint32_t source = address(FpgaRegisterFile::kRegBankAddress);
    const int n = slotAt(source - source % kSlotBytes);
    if (source < kBase || n < 0) {
        if (m_framePulse) {
            m_framePulse(reg, value);
        } else {
            m_fpga.poke(reg, value);
        }
        return;
    }
    const uint8_t before = m_fpga.peek(reg);
    m_fpga.poke(reg, value);
    if ((before & kPulseBit) == 0 && (value & kPulseBit) != 0) {
        m_bulkIn.clear();
        m_bulkIn.push(slot(n));
    }
}

}  // namespace boardsim
