#include "load/kxSpiWindow.h"

#include <array>
#include <cstring>

#include "load/kxVendorRequest.h"
#include "regs/kxRegisterAccess.h"

namespace {
constexpr int kMaxBytes = 21;
}

void SpiWindow::command(std::initializer_list<uint8_t> wire) {
    std::array<uint8_t, kMaxBytes> bytes{};
    const int count = static_cast<int>(wire.size());
    int at = count;
    for (const uint8_t byte : wire) {
        bytes[static_cast<std::size_t>(--at)] = byte;
    }
    bytes[static_cast<std::size_t>(count)] = static_cast<uint8_t>(count);
    write(kRegCount - count, bytes.data(), count + 1);
}

void SpiWindow::write(int reg, const uint8_t* bytes, int length) {
    if (m_error == 0) {
        if (const int sent = VendorRequest::out(m_context, RegisterAccess::kRequestI2c, reg,
                                                RegisterAccess::kSlaveFpga, bytes, length);
            sent < 0) {
            m_error = sent;
        }
    }
}

void SpiWindow::reply(uint8_t* bytes, int length) {
    std::memset(bytes, 0, static_cast<std::size_t>(length));
    if (m_error == 0) {
        if (const int got = VendorRequest::in(m_context, RegisterAccess::kRequestI2c, kRegReply,
                                              RegisterAccess::kSlaveFpga, bytes, length);
            got < 0) {
            m_error = got;
        }
    }
}

uint8_t SpiWindow::maker() {
    command({kReadId, 0x00});
    std::array<uint8_t, 3> id{};
    reply(id.data(), static_cast<int>(id.size()));
    return id[0];
}

FlashIdentification SpiWindow::identification() {
    command({kReadId, 0x00, 0x00, 0x00});
    std::array<uint8_t, 3> id{};
    reply(id.data(), static_cast<int>(id.size()));
    // Byte 0 is the last byte received.
    return {id[2], id[1], id[0]};
}

void SpiWindow::enableStatusWrite(uint8_t maker) {
    command(
        {maker == FlashIdentification::kMakerAutoIncrement ? kEnableWriteStatus : kWriteEnable});
}
