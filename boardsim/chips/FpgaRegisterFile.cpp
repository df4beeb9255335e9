#include "FpgaRegisterFile.h"

#include <algorithm>

namespace boardsim {

FpgaRegisterFile::FpgaRegisterFile(uint8_t versionMajor, uint8_t versionMinor)
    : m_versionMajor(versionMajor), m_versionMinor(versionMinor) {
    reset();
}

bool FpgaRegisterFile::isReadOnly(uint8_t reg) {
    switch (reg) {
        case kRegVersionMinor:
        case kRegVersionMajor:
        case kRegBoardStatus:
        case kRegFrameCountLow:
        case kRegFrameCountHigh:
        case kRegReady:
        case kRegMemTestStatus:
        case kRegTransferStatus:
        case kRegNewestBank:
            return true;
        default:
            return false;
    }
}

void FpgaRegisterFile::reset() {
    m_registers.fill(0);
    m_registers[kRegVersionMinor] = m_versionMinor;
    m_registers[kRegVersionMajor] = m_versionMajor;
    m_registers[kRegDampening] = kResetDampening;
    m_registers[kRegReady] = kResetReady;
    m_registers[kRegBankAddress + 2] = kResetBankAddress2;
    m_registers[kRegTransferLength] = kResetTransferLength0;
    m_registers[kRegTransferLength + 1] = kResetTransferLength1;
    m_registers[kRegTransferLength + 2] = kResetTransferLength2;
    showButtons();
    m_pointer = 0;
    m_expectPointer = false;
    m_expectLowByte = false;
    for (auto& table : m_gammaTables) {
        table.reset();
    }
}

bool FpgaRegisterFile::setGammaTable(int slot, std::span<const uint16_t> entries) {
    if (slot < 0 || slot >= kGammaSlots || entries.size() != kGammaEntries) {
        return false;
    }
    if (!m_gammaTables[slot]) {
        m_gammaTables[slot] = std::make_unique<GammaTable>();
    }
    std::copy(entries.begin(), entries.end(), m_gammaTables[slot]->begin());
    return true;
}

void FpgaRegisterFile::clearGammaTable(int slot) {
    if (slot >= 0 && slot < kGammaSlots) {
        m_gammaTables[slot].reset();
    }
}

const uint16_t* FpgaRegisterFile::gammaTable(int slot) const {
    if (slot < 0 || slot >= kGammaSlots || !m_gammaTables[slot]) {
        return nullptr;
    }
    return m_gammaTables[slot]->data();
}

void FpgaRegisterFile::setVersion(uint8_t major, uint8_t minor) {
    m_versionMajor = major;
    m_versionMinor = minor;
    m_registers[kRegVersionMajor] = major;
    m_registers[kRegVersionMinor] = minor;
}

void FpgaRegisterFile::setButtonsHeld(uint8_t held) {
    m_buttonsHeld = held & ((1u << kButtonCount) - 1);
    showButtons();
}

void FpgaRegisterFile::showButtons() {
    const auto released = static_cast<uint8_t>(~m_buttonsHeld & kResetBoardStatus);
    m_registers[kRegBoardStatus] =
        static_cast<uint8_t>((m_registers[kRegBoardStatus] & 0xF0) | released);
}

void FpgaRegisterFile::setReadHook(uint8_t reg, ReadHook hook) {
    m_readHooks[reg] = std::move(hook);
}

void FpgaRegisterFile::setWriteHook(uint8_t reg, WriteHook hook) {
    m_writeHooks[reg] = std::move(hook);
}

void FpgaRegisterFile::event(Event event) {
    m_expectPointer = event == Event::StartSend;
    m_expectLowByte = false;
}

bool FpgaRegisterFile::send(uint8_t byte) {
    if (m_expectPointer || m_expectLowByte) {
        m_expectLowByte = m_expectPointer && byte == 0x00;
        m_pointer = byte;
        m_expectPointer = false;
        return true;
    }
    write(m_pointer++, byte);
    return true;
}

uint8_t FpgaRegisterFile::recv() {
    const uint8_t reg = m_pointer++;
    const uint8_t stored = m_registers[reg];
    return m_readHooks[reg] ? m_readHooks[reg](reg, stored) : stored;
}

void FpgaRegisterFile::write(uint8_t reg, uint8_t value) {
    if (m_writeHooks[reg]) {
        m_writeHooks[reg](reg, value);
        return;
    }
    if (isReadOnly(reg)) {
        m_log.errorOnce(reg, "write of " + GuestLog::hex(value, 2) + " to read-only register " +
                                 GuestLog::hex(reg, 2) + " ignored");
        return;
    }
    m_registers[reg] = value;
}

}  // namespace boardsim
