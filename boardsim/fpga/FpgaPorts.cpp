#include "FpgaPorts.h"

namespace boardsim {

namespace {

using Fpga = FpgaRegisterFile;

constexpr uint8_t kHandshakeRequest = 0x01;
constexpr uint8_t kReady = 0x01;
constexpr uint8_t kBusy = 0x01;

}  // namespace

FpgaPorts::FpgaPorts(const BoardConfig& config, FpgaRegisterFile& fpga, DataPipe& bulkIn)
    : m_fpga(fpga),
      m_flash(config.flash, config.flashSize, config.flashEraseTime),
      m_window(fpga, m_flash),
      m_gamma(fpga, bulkIn),
      m_tap(config.fpgaIdcode, config.fpgaMajor != 0 || config.fpgaMinor != 0,
            JtagTap::Fabric{[this] { clearConfiguration(); },
                            [this](uint16_t version) { startDesign(version); }}),
      m_busy(config.fpgaBusy),
      m_notReady(config.fpgaNotReady) {
    fpga.setWriteHook(Fpga::kRegInitRequest, [this](uint8_t reg, uint8_t value) {
        m_fpga.poke(reg, value);
        if ((value & kHandshakeRequest) != 0 && configured()) {
            m_fpga.poke(Fpga::kRegReady, kReady);
        }
    });
    fpga.setReadHook(Fpga::kRegReady,
                     [this](uint8_t, uint8_t stored) { return m_notReady ? uint8_t{0} : stored; });
    fpga.setReadHook(Fpga::kRegStreamControl, [this](uint8_t, uint8_t stored) {
        return m_busy ? static_cast<uint8_t>(stored | kBusy) : stored;
    });
}

bool FpgaPorts::configured() const {
    return m_fpga.peek(Fpga::kRegVersionMajor) != 0 || m_fpga.peek(Fpga::kRegVersionMinor) != 0;
}

void FpgaPorts::powerOn() {
    m_flash.powerOn();
    m_window.powerOn();
    m_gamma.clear();
    m_tap.setDone(configured());
    if (!configured()) {
        m_fpga.poke(Fpga::kRegReady, 0);
    }
}

void FpgaPorts::endFlashProgramming() {
    const uint8_t command[] = {SpiFlash::kCmdWriteDisable};
    m_flash.transfer(command);
}

void FpgaPorts::clearConfiguration() {
    m_fpga.setVersion(0, 0);
    m_fpga.reset();
    m_fpga.poke(Fpga::kRegReady, 0);
    m_gamma.clear();
}

void FpgaPorts::startDesign(uint16_t version) {
    m_fpga.setVersion(static_cast<uint8_t>(version >> 8), static_cast<uint8_t>(version & 0xFF));
    m_fpga.reset();
    m_fpga.poke(Fpga::kRegReady, 0);
    m_gamma.clear();
}

}  // namespace boardsim
