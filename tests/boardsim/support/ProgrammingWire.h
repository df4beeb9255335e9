// What the host's firmware loaders send to a simulated board, for the tests of its programmable
// side: multi-byte register writes, commands through the FPGA's SPI window, and the JTAG
// conversation of a bitstream load.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "firmware/IntelHex.h"
#include "support/BoardWire.h"

namespace programming {

using boardsim::CameraBoard;
using boardwire::Bytes;
using boardwire::kFpga;
using boardwire::kVendorIn;
using boardwire::kVendorOut;

inline void fpgaWriteBytes(CameraBoard& board, uint8_t reg, Bytes bytes) {
    const auto length = static_cast<uint16_t>(bytes.size());
    EXPECT_EQ(board.handleControl({kVendorOut, 0xA9, reg, kFpga, length}, bytes.data()), length);
}

inline Bytes fpgaReadBytes(CameraBoard& board, uint8_t reg, uint16_t length) {
    Bytes data(length);
    EXPECT_EQ(board.handleControl({kVendorIn, 0xA9, reg, kFpga, length}, data.data()), length);
    return data;
}

// One SPI command, wire order: written reversed, with the count, ending at register 0x94.
inline void spi(CameraBoard& board, const Bytes& wire) {
    Bytes window(wire.rbegin(), wire.rend());
    window.push_back(static_cast<uint8_t>(wire.size()));
    fpgaWriteBytes(board, static_cast<uint8_t>(0x94 - wire.size()), window);
}

// The bytes received during the last SPI command, the last one first.
inline Bytes spiReceived(CameraBoard& board, uint16_t count) {
    return fpgaReadBytes(board, 0x80, count);
}

// Status word as the erase reads it: SPI 0x05 0x00, then byte 1 * 256 + byte 0 of the window.
inline int statusWord(CameraBoard& board) {
    spi(board, {0x05, 0x00});
    const Bytes bytes = spiReceived(board, 2);
    return bytes[1] << 8 | bytes[0];
}

// 16 bytes of the flash through the window (SPI 0x03, address, 16 clocked bytes).
inline Bytes flashRead16(CameraBoard& board, uint32_t address) {
    Bytes wire = {0x03, static_cast<uint8_t>(address >> 16), static_cast<uint8_t>(address >> 8),
                  static_cast<uint8_t>(address)};
    wire.resize(20, 0x00);
    spi(board, wire);
    Bytes data = spiReceived(board, 16);
    std::reverse(data.begin(), data.end());
    return data;
}

// Identification, then the status register unprotected as both flash loaders do it; the maker.
inline uint8_t identifyAndUnprotect(CameraBoard& board) {
    spi(board, {0x9F, 0x00});
    const uint8_t maker = spiReceived(board, 3)[0];
    spi(board, {static_cast<uint8_t>(maker == 0xBF ? 0x50 : 0x06)});
    spi(board, {0x01, 0x00});
    return maker;
}

inline void chipErase(CameraBoard& board) {
    spi(board, {0x06});
    spi(board, {0xC7});
    ASSERT_TRUE(boardwire::waitFor([&] { return (statusWord(board) & 0x01) == 0; }));
}

// The host's flash programmer writing whole 16-byte records, without waiting between commands:
// to the 0xBF family (maker) auto-address-increment words one after another from address 0,
// the first with SPI 0xAD and the address (7 bytes to 0x8E), every later one as 4 bytes to
// 0x91; to other makers one page program a record at its address (21 bytes to 0x80). The end of
// programming is request 0xAA.
inline void programRecords(CameraBoard& board, uint8_t maker,
                           const std::vector<boardsim::IntelHex::Chunk>& records) {
    bool first = true;
    for (const auto& record : records) {
        if (record.data.size() != 16) {
            continue;
        }
        if (maker == 0xBF) {
            for (std::size_t i = 0; i < 16; i += 2) {
                spi(board, {0x06});
                const uint8_t d0 = record.data[i];
                const uint8_t d1 = record.data[i + 1];
                if (first) {
                    fpgaWriteBytes(board, 0x8E, {d1, d0, 0x00, 0x00, 0x00, 0xAD, 0x06});
                    first = false;
                } else {
                    fpgaWriteBytes(board, 0x91, {d1, d0, 0xAD, 0x06});
                }
            }
        } else {
            spi(board, {0x06});
            Bytes window(record.data.rbegin(), record.data.rend());
            window.insert(window.end(), {static_cast<uint8_t>(record.address),
                                         static_cast<uint8_t>(record.address >> 8),
                                         static_cast<uint8_t>(record.address >> 16), 0x02, 0x14});
            fpgaWriteBytes(board, 0x80, window);
        }
    }
    EXPECT_EQ(board.handleControl({kVendorOut, 0xAA, 0, 0, 0}, nullptr), 0);
}

inline int request(CameraBoard& board, uint8_t direction, uint8_t request, uint16_t value,
                   Bytes& data) {
    return board.handleControl({direction, request, value, 0, static_cast<uint16_t>(data.size())},
                               data.data());
}

// Request 0xD0 IN of one byte (or length bytes): the reply.
inline Bytes jtagIn(CameraBoard& board, uint16_t value, uint16_t length = 1) {
    Bytes data(length);
    EXPECT_EQ(request(board, kVendorIn, 0xD0, value, data), length);
    return data;
}

inline uint8_t reverseBits(uint8_t byte) {
    uint8_t out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        out = static_cast<uint8_t>(out << 1 | (byte >> bit & 1));
    }
    return out;
}

// The data transfers of a file as the host's loader sends them after CFG_IN: 64-byte pieces,
// bits reversed, 0x0FF0 first, 0x0F0F for a short last piece. The bytes each one moved.
inline std::vector<int> jtagShiftFile(CameraBoard& board, const Bytes& file) {
    std::vector<int> moved;
    std::size_t sent = 0;
    while (sent < file.size()) {
        const std::size_t count = std::min<std::size_t>(64, file.size() - sent);
        Bytes piece(file.begin() + static_cast<std::ptrdiff_t>(sent),
                    file.begin() + static_cast<std::ptrdiff_t>(sent + count));
        for (uint8_t& byte : piece) {
            byte = reverseBits(byte);
        }
        const uint16_t value = sent == 0 ? 0x0FF0 : count < 64 ? 0x0F0F : 0x0F00;
        moved.push_back(request(board, kVendorOut, 0xD0, value, piece));
        sent += count;
    }
    return moved;
}

// JSTART and its clocks, as the loader ends a load.
inline void jtagStart(CameraBoard& board) {
    jtagIn(board, 0xF00C);
    Bytes none;
    EXPECT_EQ(request(board, kVendorOut, 0xD0, 0xAA20, none), 0);
}

// The whole JTAG load of a ".bit" file as the host's loader sends it; the final status byte.
inline uint8_t jtagLoad(CameraBoard& board, const Bytes& file) {
    jtagIn(board, 0x3CFF);
    jtagIn(board, 0xF009);
    jtagIn(board, 0x0FFF, 4);
    jtagIn(board, 0xF03F);
    jtagIn(board, 0xF00B);
    jtagIn(board, 0xF005);
    const std::vector<int> moved = jtagShiftFile(board, file);
    for (std::size_t i = 0; i < moved.size(); ++i) {
        const std::size_t count = std::min<std::size_t>(64, file.size() - 64 * i);
        EXPECT_EQ(moved[i], static_cast<int>(count)) << "piece " << i;
    }
    jtagStart(board);
    jtagIn(board, 0xF03F);
    return jtagIn(board, 0xF03F)[0];
}

}  // namespace programming
