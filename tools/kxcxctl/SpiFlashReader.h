// Reads the FPGA's SPI configuration flash back through raw register access (vendor request
// 0xA9 to the FPGA's SPI window at 0x80-0x94): the identification and 16 bytes a read command.
#pragma once

#include <cstdint>
#include <vector>

#include <kxCxApi.h>
#include "kxFlashIdentification.h"

class SpiFlashReader {
public:
    static constexpr int kPiece = 16;

    explicit SpiFlashReader(CamContext* handle) : m_handle(handle) {}

    // The identification: maker, type and capacity code; false when a transfer failed.
    bool identify(FlashIdentification& identification);
    // length bytes from address on; false when a transfer failed.
    bool read(uint32_t address, uint32_t length, std::vector<uint8_t>& bytes);

private:
    // Shifts the bytes (wire order, at most 20) out; false when the write failed.
    bool command(const std::vector<uint8_t>& wire);
    // The last length bytes received, in the order they arrived.
    bool received(int length, std::vector<uint8_t>& bytes);

    CamContext* m_handle;
};
