#include "SpiWindow.h"

namespace boardsim {

SpiWindow::SpiWindow(FpgaRegisterFile& fpga, SpiFlash& flash) : m_fpga(fpga), m_flash(flash) {
    for (int reg = FpgaRegisterFile::kRegSpiWindowFirst; reg <= kRegCount; ++reg) {
        fpga.setReadHook(static_cast<uint8_t>(reg),
                         [this](uint8_t read, uint8_t) { return readBack(read); });
    }
    fpga.setWriteHook(kRegCount, [this](uint8_t reg, uint8_t value) {
        m_fpga.poke(reg, value);
        run(value);
    });
}

void SpiWindow::run(uint8_t count) {
    if (count == 0 || count > kMaxBytes) {
        return;
    }
    std::vector<uint8_t> out;
    out.reserve(count);
    for (int i = 1; i <= count; ++i) {
        out.push_back(m_fpga.peek(static_cast<uint8_t>(kRegCount - i)));
    }
    m_received = m_flash.transfer(out);
}

uint8_t SpiWindow::readBack(uint8_t reg) const {
    const std::size_t back = reg - FpgaRegisterFile::kRegSpiWindowFirst;
    if (back >= m_received.size()) {
        return 0;
    }
    return m_received[m_received.size() - 1 - back];
}

}  // namespace boardsim
