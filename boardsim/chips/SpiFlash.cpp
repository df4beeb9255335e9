#include "SpiFlash.h"

#include <algorithm>
#include <bit>

namespace boardsim {

namespace {

// Capacity byte of the 0xBF family's identification for 256 KiB to 4 MiB.
uint8_t sstCapacity(std::size_t size) {
    switch (size) {
        case 256 * 1024:
            return 0x8C;
        case 512 * 1024:
            return 0x8D;
        case 1024 * 1024:
            return 0x8E;
        case 2048 * 1024:
            return 0x41;
        case 4096 * 1024:
            return 0x4A;
        default:
            return static_cast<uint8_t>(std::countr_zero(size));
    }
}

}  // namespace

SpiFlash::SpiFlash(Family family, std::size_t size, Timing timing,
                   std::function<Clock::time_point()> now)
    : m_family(family),
      m_now(std::move(now)),
      m_timing(timing),
      m_size(size),
      m_sectors((size + kSectorSize - 1) / kSectorSize) {}

const SpiFlash::Sector& SpiFlash::erasedSector() {
    static const Sector erased = [] {
        Sector bytes;
        bytes.fill(0xFF);
        return bytes;
    }();
    return erased;
}

void SpiFlash::load(std::span<const uint8_t> contents) {
    const std::size_t count = std::min(contents.size(), m_size);
    for (std::size_t index = 0; index < m_sectors.size(); ++index) {
        m_sectors[index].reset();
        const std::size_t start = index * kSectorSize;
        if (start >= count) {
            continue;
        }
        const auto piece = contents.subspan(start, std::min(kSectorSize, count - start));
        if (std::all_of(piece.begin(), piece.end(), [](uint8_t byte) { return byte == 0xFF; })) {
            continue;
        }
        m_sectors[index] = std::make_unique<Sector>(erasedSector());
        std::copy(piece.begin(), piece.end(), m_sectors[index]->begin());
    }
}

std::span<const uint8_t> SpiFlash::sector(std::size_t index) const {
    const Sector& bytes = m_sectors[index] ? *m_sectors[index] : erasedSector();
    return std::span<const uint8_t>(bytes).first(
        std::min(kSectorSize, m_size - index * kSectorSize));
}

std::vector<uint8_t> SpiFlash::contents() const {
    std::vector<uint8_t> bytes;
    bytes.reserve(m_size);
    for (std::size_t index = 0; index < m_sectors.size(); ++index) {
        const std::span<const uint8_t> piece = sector(index);
        bytes.insert(bytes.end(), piece.begin(), piece.end());
    }
    return bytes;
}

uint8_t SpiFlash::byteAt(uint32_t address) const {
    const std::unique_ptr<Sector>& bytes = m_sectors[address / kSectorSize];
    return bytes ? (*bytes)[address % kSectorSize] : 0xFF;
}

void SpiFlash::powerOn() {
    m_busyUntil = {};
    m_writeEnabled = false;
    m_statusWriteEnabled = false;
    m_wordMode = false;
    if (m_family == Family::Sst) {
        m_protection = kStatusProtection;
    }
}

uint8_t SpiFlash::manufacturer() const {
    switch (m_family) {
        case Family::Sst:
            return kManufacturerSst;
        case Family::PageProgram:
            return kManufacturerPage;
        default:
            return kManufacturerUnknown;
    }
}

std::vector<uint8_t> SpiFlash::identification() const {
    if (m_family == Family::Sst) {
        return {kManufacturerSst, 0x25, sstCapacity(m_size)};
    }
    return {manufacturer(), 0x20, static_cast<uint8_t>(std::countr_zero(m_size))};
}

bool SpiFlash::busy() const {
    return m_now() < m_busyUntil;
}

uint8_t SpiFlash::status() const {
    uint8_t status = m_protection;
    const bool working = busy();
    if (working) {
        status |= kStatusBusy;
    }
    // The write enable latch clears when the erase or program completes.
    if (m_writeEnabled || working) {
        status |= kStatusWriteEnabled;
    }
    if (m_wordMode) {
        status |= kStatusWordMode;
    }
    return status;
}

std::vector<uint8_t> SpiFlash::transfer(std::span<const uint8_t> out) {
    std::vector<uint8_t> in(out.size(), 0x00);
    if (!out.empty()) {
        command(out, in);
    }
    return in;
}

void SpiFlash::command(std::span<const uint8_t> out, std::vector<uint8_t>& in) {
    const uint8_t opcode = out[0];
    if (opcode == kCmdReadStatus) {
        for (std::size_t i = 1; i < out.size(); ++i) {
            in[i] = status();
        }
        return;
    }
    if (busy()) {
        m_log.errorOnce(0x100u | opcode,
                        "command " + GuestLog::hex(opcode, 2) + " while busy ignored");
        return;
    }
    if (m_wordMode && opcode != kCmdWordProgram && opcode != kCmdWriteDisable) {
        if (opcode != kCmdWriteEnable) {
            m_log.error("command " + GuestLog::hex(opcode, 2) +
                        " in auto-address-increment mode ignored");
        }
        return;
    }
    switch (opcode) {
        case kCmdIdentify: {
            const std::vector<uint8_t> id = identification();
            for (std::size_t i = 1; i < out.size() && i <= id.size(); ++i) {
                in[i] = id[i - 1];
            }
            return;
        }
        case kCmdWriteEnable:
            m_writeEnabled = true;
            return;
        case kCmdWriteDisable:
            m_writeEnabled = false;
            m_wordMode = false;
            return;
        case kCmdEnableWriteStatus:
            if (m_family == Family::Sst) {
                m_statusWriteEnabled = true;
                return;
            }
            break;
        case kCmdWriteStatus:
            writeStatus(out);
            return;
        case kCmdRead:
            read(out, in);
            return;
        case kCmdChipErase:
        case kCmdChipEraseAlt:
            chipErase();
            return;
        case kCmdPageProgram:
            if (m_family != Family::Sst) {
                pageProgram(out);
                return;
            }
            break;
        case kCmdWordProgram:
            if (m_family == Family::Sst) {
                wordProgram(out);
                return;
            }
            break;
        default:
            break;
    }
    m_log.errorOnce(opcode, "unknown command " + GuestLog::hex(opcode, 2) + " ignored");
}

void SpiFlash::writeStatus(std::span<const uint8_t> out) {
    const bool allowed = m_writeEnabled || m_statusWriteEnabled;
    m_statusWriteEnabled = false;
    m_writeEnabled = false;
    if (!allowed) {
        m_log.error("status write without write enable ignored");
        return;
    }
    if (out.size() >= 2) {
        m_protection = out[1] & kStatusProtection;
    }
}

bool SpiFlash::writable(const char* what) {
    if (!m_writeEnabled) {
        m_log.error(std::string(what) + " without write enable ignored");
        return false;
    }
    if (m_protection != 0) {
        m_writeEnabled = false;
        m_log.error(std::string(what) + " refused: the array is protected");
        return false;
    }
    return true;
}

void SpiFlash::chipErase() {
    if (!writable("chip erase")) {
        return;
    }
    m_writeEnabled = false;
    for (std::unique_ptr<Sector>& bytes : m_sectors) {
        bytes.reset();
    }
    m_busyUntil = m_now() + m_timing.erase;
}

uint32_t SpiFlash::address(std::span<const uint8_t> out) const {
    const uint32_t value = static_cast<uint32_t>(out[1]) << 16 | out[2] << 8 | out[3];
    return value & static_cast<uint32_t>(m_size - 1);
}

void SpiFlash::program(uint32_t address, uint8_t byte) {
    if (byte == 0xFF) {
        return;  // programming only clears bits
    }
    const uint32_t at = address & static_cast<uint32_t>(m_size - 1);
    std::unique_ptr<Sector>& bytes = m_sectors[at / kSectorSize];
    if (!bytes) {
        bytes = std::make_unique<Sector>(erasedSector());
    }
    (*bytes)[at % kSectorSize] &= byte;
}

void SpiFlash::pageProgram(std::span<const uint8_t> out) {
    if (out.size() < 4 || !writable("page program")) {
        return;
    }
    m_writeEnabled = false;
    const uint32_t start = address(out);
    const uint32_t page = start & ~static_cast<uint32_t>(kPageSize - 1);
    // Bytes beyond the page's end wrap to its start, as on the chip.
    for (std::size_t i = 4; i < out.size(); ++i) {
        const auto offset = static_cast<uint32_t>((start - page + (i - 4)) % kPageSize);
        program(page + offset, out[i]);
    }
    m_busyUntil = m_now() + m_timing.program;
}

void SpiFlash::wordProgram(std::span<const uint8_t> out) {
    if (!m_wordMode) {
        if (out.size() < 6 || !writable("word program")) {
            return;
        }
        m_wordMode = true;
        m_wordAddress = address(out) & ~1u;
        out = out.subspan(4);
    } else {
        if (out.size() < 3) {
            return;
        }
        out = out.subspan(1);
    }
    program(m_wordAddress, out[0]);
    program(m_wordAddress + 1, out[1]);
    m_wordAddress = (m_wordAddress + 2) & static_cast<uint32_t>(m_size - 1);
    m_busyUntil = m_now() + m_timing.program;
}

void SpiFlash::read(std::span<const uint8_t> out, std::vector<uint8_t>& in) const {
    if (out.size() < 4) {
        return;
    }
    const uint32_t start = address(out);
    for (std::size_t i = 4; i < out.size(); ++i) {
        in[i] = byteAt((start + static_cast<uint32_t>(i) - 4) & static_cast<uint32_t>(m_size - 1));
    }
}

}  // namespace boardsim
