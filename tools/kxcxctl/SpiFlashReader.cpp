#include "SpiFlashReader.h"

#include <algorithm>

namespace {
constexpr int kRequestI2c = 0xA9;
constexpr int kSlaveFpga = 0x3C;
constexpr int kRegReply = 0x80;
constexpr int kRegCount = 0x94;
constexpr uint8_t kReadId = 0x9F;
constexpr uint8_t kRead = 0x03;
constexpr uint8_t kWriteDisable = 0x04;
}  // namespace

bool SpiFlashReader::command(const std::vector<uint8_t>& wire) {
    // The bytes reversed, then their count, in one write that ends at the count register.
    std::vector<uint8_t> bytes(wire.rbegin(), wire.rend());
    bytes.push_back(static_cast<uint8_t>(wire.size()));
    int transferred = 0;
    return ioctlCxDevice(m_handle, 0, 0, kRequestI2c, kRegCount - static_cast<int>(wire.size()),
                         kSlaveFpga, static_cast<int>(bytes.size()), bytes.data(),
                         &transferred) == 0 &&
           transferred == static_cast<int>(bytes.size());
}

bool SpiFlashReader::received(int length, std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> reply(static_cast<std::size_t>(length));
    int transferred = 0;
    if (ioctlCxDevice(m_handle, 0, 1, kRequestI2c, kRegReply, kSlaveFpga, length, reply.data(),
                      &transferred) != 0 ||
        transferred != length) {
        return false;
    }
    // Byte 0 is the last byte received.
    bytes.assign(reply.rbegin(), reply.rend());
    return true;
}

bool SpiFlashReader::identify(FlashIdentification& identification) {
    std::vector<uint8_t> id;
    if (!command({kReadId, 0x00, 0x00, 0x00}) || !received(3, id)) {
        return false;
    }
    identification = {id[0], id[1], id[2]};
    return true;
}

bool SpiFlashReader::read(uint32_t address, uint32_t length, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // A flash left in auto-address-increment programming takes no other command until writes
    // are disabled.
    if (!command({kWriteDisable})) {
        return false;
    }
    for (uint32_t at = address; at < address + length; at += kPiece) {
        const int piece = static_cast<int>(std::min<uint32_t>(kPiece, address + length - at));
        std::vector<uint8_t> wire = {kRead, static_cast<uint8_t>(at >> 16),
                                     static_cast<uint8_t>(at >> 8), static_cast<uint8_t>(at)};
        wire.resize(wire.size() + static_cast<std::size_t>(piece), 0x00);
        std::vector<uint8_t> data;
        if (!command(wire) || !received(piece, data)) {
            return false;
        }
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return true;
}
