#include "kxSpiWindow.h"

#include <array>
#include <cstring>

#include "kxVendorRequest.h"

namespace {
constexpr int kMaxBytes = 21;
}

void SpiWindow::command(CamContext* context, std::initializer_list<uint8_t> wire) {
    std::array<uint8_t, kMaxBytes> bytes{};
    const int count = static_cast<int>(wire.size());
    int at = count;
    for (const uint8_t byte : wire) {
        bytes[static_cast<std::size_t>(--at)] = byte;
    }
    bytes[static_cast<std::size_t>(count)] = static_cast<uint8_t>(count);
    write(context, kRegCount - count, bytes.data(), count + 1);
}

void SpiWindow::write(CamContext* context, int reg, const uint8_t* bytes, int length) {
    VendorRequest::out(context, VendorRequest::kRequestI2c, reg, kSlaveFpga, bytes, length);
}

void SpiWindow::reply(CamContext* context, uint8_t* bytes, int length) {
    std::memset(bytes, 0, static_cast<std::size_t>(length));
    VendorRequest::in(context, VendorRequest::kRequestI2c, kRegReply, kSlaveFpga, bytes, length);
}

uint8_t SpiWindow::maker(CamContext* context) {
    command(context, {kReadId, 0x00});
    std::array<uint8_t, 3> id{};
    reply(context, id.data(), static_cast<int>(id.size()));
    return id[0];
}

void SpiWindow::enableStatusWrite(CamContext* context, uint8_t maker) {
    command(context, {maker == kMakerAutoIncrement ? kEnableWriteStatus : kWriteEnable});
}
