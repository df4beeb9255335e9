// The FPGA's SPI master for its configuration flash, behind FPGA registers 0x80-0x94. A command
// is one register write that ends at 0x94: the bytes to shift out in reverse order followed by
// their count, so the byte just below the count goes out first. The bytes received during the
// last command are read back from register 0x80, byte 0 the last received.
//
// One window serves one loader run: the first transfer that fails is kept (error()), and nothing
// is sent after it, so a flash is never driven on from a half-sent sequence.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "kxFlashIdentification.h"

struct CamContext;

class SpiWindow {
public:
    static constexpr int kRegReply = 0x80;
    static constexpr int kRegCount = 0x94;

    // Flash opcodes.
    static constexpr uint8_t kReadId = 0x9F;
    static constexpr uint8_t kWriteEnable = 0x06;
    static constexpr uint8_t kEnableWriteStatus = 0x50;
    static constexpr uint8_t kWriteStatus = 0x01;
    static constexpr uint8_t kReadStatus = 0x05;
    static constexpr uint8_t kChipErase = 0xC7;
    static constexpr uint8_t kPageProgram = 0x02;
    static constexpr uint8_t kWordProgram = 0xAD;

    explicit SpiWindow(CamContext* context) : m_context(context) {}

    // Shifts the bytes (in wire order, at most 20) out to the flash.
    void command(std::initializer_list<uint8_t> wire);
    // A write of raw bytes to the window's registers from reg on.
    void write(int reg, const uint8_t* bytes, int length);
    // The last length bytes received (length at most 20); zeros where the read failed.
    void reply(uint8_t* bytes, int length);
    // The identification's manufacturer byte (0x9F, one more byte; byte 0 of three read back).
    uint8_t maker();
    // The whole identification (0x9F and three more bytes): maker, type and capacity code.
    FlashIdentification identification();
    // The write-enable command that the maker's family wants before a status write.
    void enableStatusWrite(uint8_t maker);

    // 0, or the platform error of the first transfer that failed, negated.
    int error() const { return m_error; }
    bool failed() const { return m_error != 0; }

private:
    CamContext* m_context;
    int m_error = 0;
};
