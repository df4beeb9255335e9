#include "FpgaPorts.h"

#include "firmware/BitstreamBuilder.h"
#include "firmware/FlashImage.h"

namespace boardsim {

namespace {

using Fpga = FpgaRegisterFile;

constexpr uint8_t kHandshakeRequest = 0x01;
constexpr uint8_t kReady = 0x01;
constexpr uint8_t kBusy = 0x01;

}  // namespace

FpgaPorts::FpgaPorts(const BoardConfig& config, FpgaRegisterFile& fpga, DataPipe& bulkIn)
    : m_fpga(fpga),
      m_flash(config.flash, config.flashSize,
              SpiFlash::Timing{config.flashEraseTime, config.flashProgramTime}),
      m_window(fpga, m_flash),
      m_gamma(fpga, bulkIn),
      m_tap(config.fpgaIdcode, JtagTap::Fabric{[this] { clearConfiguration(); },
                                               [this](uint16_t version) { startDesign(version); }}),
      m_memory(fpga),
      m_busy(config.fpgaBusy),
      m_notReady(config.fpgaNotReady) {
    if (config.fpgaMajor != 0 || config.fpgaMinor != 0) {
        const std::vector<uint8_t> stream =
            BitstreamBuilder::release(config.fpgaMajor, config.fpgaMinor, config.fpgaIdcode)
                .build();
        m_flash.load(FlashImage::programmed(FlashImage::records(stream), config.flash));
    }
    m_tap.setStalled(config.jtagStalled);
    m_memory.setStuckDataLine(config.memoryFault);
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
    return m_tap.done();
}

std::optional<uint16_t> FpgaPorts::flashDesign() const {
    ConfigurationEngine engine(m_tap.engine().idcode());
    // The FPGA reads the flash a sector at a time.
    for (std::size_t at = 0; at < m_flash.size() && !engine.finished();
         at += SpiFlash::kSectorSize) {
        engine.feed(m_flash.sector(at / SpiFlash::kSectorSize));
    }
    if (!engine.complete()) {
        return std::nullopt;
    }
    return engine.version();
}

void FpgaPorts::powerOn() {
    m_flash.powerOn();
    m_window.powerOn();
    m_gamma.clear();
    const std::optional<uint16_t> design = flashDesign();
    const uint16_t version = design.value_or(0);
    m_fpga.setVersion(static_cast<uint8_t>(version >> 8), static_cast<uint8_t>(version & 0xFF));
    m_tap.powerOn(design.has_value());
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
