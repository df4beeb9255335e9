// The FPGA's serial configuration flash, as its SPI master sees it: one command per chip select,
// the bytes shifted out to it in, the bytes it drives back out (transfer). The input line reads
// 0 while the flash does not drive it (opcode and address bytes).
//
// Commands: 0x9F identification (manufacturer, type, capacity), 0x06 write enable, 0x04 write
// disable, 0x50 enable write of the status register (manufacturer 0xBF), 0x01 write status,
// 0x05 read status, 0x03 read, 0xC7 (and 0x60) chip erase, 0x02 page program (families other
// than 0xBF), 0xAD auto-address-increment word program (0xBF). Unknown opcodes are reported as
// guest errors and change nothing.
//
// Status register: bit 0 busy, bit 1 write enabled, bits 2-4 block protection, bit 6
// auto-address-increment mode (0xBF). Any protection bit set protects the whole array: erase and
// programming are refused. Protection is set when the flash leaves the factory; the 0xBF family
// sets it again at every power-on, the others keep it. Programming only clears bits.
//
// Chip erase takes the erase time, a program command (a page program, or one word of an
// auto-address-increment sequence) the program time (0 by default: done at once); the flash is
// busy until then. While busy only the status
// can be read; other commands are ignored (a write enable too, so a program issued without
// waiting is lost). A power cycle ends a running operation. In auto-address-increment mode an 0xAD
// command takes the next two bytes as the next word (more bytes in the same command are ignored),
// and only 0x04 (which ends the mode), 0x05 and further 0xAD commands are understood; a write
// enable is harmless and ignored.
//
// The array is kept in sectors of kSectorSize bytes, and a sector that holds only erased bytes
// (0xFF) takes no memory: a board whose flash holds one design costs that design's sectors.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "config/BoardConfig.h"
#include "log/GuestLog.h"

namespace boardsim {

class SpiFlash {
public:
    using Clock = std::chrono::steady_clock;
    using Family = FlashFamily;

    static constexpr uint8_t kManufacturerSst = 0xBF;
    static constexpr uint8_t kManufacturerPage = 0x20;
    static constexpr uint8_t kManufacturerUnknown = 0xC2;

    static constexpr uint8_t kCmdRead = 0x03;
    static constexpr uint8_t kCmdWriteStatus = 0x01;
    static constexpr uint8_t kCmdPageProgram = 0x02;
    static constexpr uint8_t kCmdWriteDisable = 0x04;
    static constexpr uint8_t kCmdReadStatus = 0x05;
    static constexpr uint8_t kCmdWriteEnable = 0x06;
    static constexpr uint8_t kCmdEnableWriteStatus = 0x50;
    static constexpr uint8_t kCmdChipEraseAlt = 0x60;
    static constexpr uint8_t kCmdIdentify = 0x9F;
    static constexpr uint8_t kCmdWordProgram = 0xAD;
    static constexpr uint8_t kCmdChipErase = 0xC7;

    static constexpr uint8_t kStatusBusy = 0x01;
    static constexpr uint8_t kStatusWriteEnabled = 0x02;
    static constexpr uint8_t kStatusProtection = 0x1C;
    static constexpr uint8_t kStatusWordMode = 0x40;

    static constexpr std::size_t kPageSize = 256;
    static constexpr std::size_t kSectorSize = 4096;
    static constexpr std::chrono::milliseconds kDefaultEraseTime{40};

    // How long each operation keeps the flash busy.
    struct Timing {
        std::chrono::milliseconds erase = kDefaultEraseTime;
        std::chrono::microseconds program{0};
    };

    // size: bytes, a power of two from 64 KiB to 16 MiB. now: the flash's sense of time.
    SpiFlash(Family family, std::size_t size, Timing timing,
             std::function<Clock::time_point()> now = Clock::now);

    // The array holds these bytes from address 0 on and is erased beyond them, as programmed
    // before the board left the factory (bytes beyond the array's size are dropped).
    void load(std::span<const uint8_t> contents);

    // One command: the bytes shifted in, wire order; returns what came back, one per byte.
    std::vector<uint8_t> transfer(std::span<const uint8_t> out);

    // The board powers up: the command state clears, a running operation ends (and the 0xBF
    // family protects itself).
    void powerOn();

    Family family() const { return m_family; }
    uint8_t manufacturer() const;
    // The 3 identification bytes.
    std::vector<uint8_t> identification() const;
    uint8_t status() const;
    bool busy() const;
    // Bytes in the array.
    std::size_t size() const { return m_size; }
    // Sector `index` of the array (kSectorSize bytes from index * kSectorSize).
    std::span<const uint8_t> sector(std::size_t index) const;
    // The whole array.
    std::vector<uint8_t> contents() const;

private:
    void command(std::span<const uint8_t> out, std::vector<uint8_t>& in);
    void writeStatus(std::span<const uint8_t> out);
    void chipErase();
    void pageProgram(std::span<const uint8_t> out);
    void wordProgram(std::span<const uint8_t> out);
    void read(std::span<const uint8_t> out, std::vector<uint8_t>& in) const;
    // Whether erase or programming may change the array now; reports the reason otherwise.
    bool writable(const char* what);
    void program(uint32_t address, uint8_t byte);
    uint32_t address(std::span<const uint8_t> out) const;
    uint8_t byteAt(uint32_t address) const;

    using Sector = std::array<uint8_t, kSectorSize>;
    // A sector of erased bytes, for the sectors that hold no other.
    static const Sector& erasedSector();

    const Family m_family;
    const std::function<Clock::time_point()> m_now;
    const Timing m_timing;
    const std::size_t m_size;
    // Null for a sector that holds only erased bytes.
    std::vector<std::unique_ptr<Sector>> m_sectors;
    uint8_t m_protection = kStatusProtection;
    bool m_writeEnabled = false;
    bool m_statusWriteEnabled = false;
    bool m_wordMode = false;
    uint32_t m_wordAddress = 0;
    Clock::time_point m_busyUntil{};
    GuestLog m_log{"spi-flash"};
};

}  // namespace boardsim
