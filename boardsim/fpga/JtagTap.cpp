#include "JtagTap.h"

#include <cerrno>
#include <vector>

namespace boardsim {

namespace {

constexpr uint8_t kPieceFirst = 0xF0;
constexpr uint8_t kPieceNext = 0x00;
constexpr uint8_t kPieceLast = 0x0F;

}  // namespace

JtagTap::JtagTap(uint32_t idcode, Fabric fabric)
    : m_idcode(idcode), m_fabric(std::move(fabric)), m_engine(idcode), m_done(false) {}

void JtagTap::powerOn(bool done) {
    m_instruction = kInstrIdcode;
    m_engine.reset();
    m_shifting = false;
    m_done = done;
}

uint8_t JtagTap::reverseBits(uint8_t byte) {
    uint8_t out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        out = static_cast<uint8_t>(out << 1 | (byte >> bit & 1));
    }
    return out;
}

uint8_t JtagTap::capture() const {
    uint8_t value = kCaptureFixed;
    if (!m_engine.failed()) {
        value |= kCaptureInit;
    }
    if (m_done) {
        value |= kCaptureDone;
    }
    return value;
}

int JtagTap::handle(const SetupPacket& setup, uint8_t* data) {
    const auto operation = static_cast<uint8_t>(setup.value >> 8);
    const auto operand = static_cast<uint8_t>(setup.value & 0xFF);
    if (setup.index != 0) {
        return -EPIPE;
    }
    switch (operation) {
        case kOpReset:
        case kOpInstruction:
            if (!setup.isIn()) {
                return -EPIPE;
            }
            load(operation == kOpReset ? kInstrIdcode : operand);
            if (setup.length > 0) {
                data[0] = capture();
                return 1;
            }
            return 0;
        case kOpShift:
            return setup.isIn() ? shiftOut(setup, data) : shiftIn(setup, data);
        case kOpIdle:
            if (setup.isIn() || setup.length != 0) {
                return -EPIPE;
            }
            if (m_instruction == kInstrJstart && operand >= kStartupClocks && m_engine.complete()) {
                m_done = true;
                m_fabric.start(m_engine.version());
            }
            return 0;
        default:
            return -EPIPE;
    }
}

void JtagTap::load(uint8_t instruction) {
    m_instruction = instruction;
    m_shifting = false;
    if (instruction == kInstrJprogram) {
        m_done = false;
        m_engine.reset();
        m_fabric.clear();
    } else if (instruction == kInstrCfgIn) {
        m_engine.reset();
    }
}

int JtagTap::shiftIn(const SetupPacket& setup, const uint8_t* data) {
    const auto operand = static_cast<uint8_t>(setup.value & 0xFF);
    if (operand != kPieceFirst && operand != kPieceNext && operand != kPieceLast) {
        return -EPIPE;
    }
    if (m_stalled) {
        return 0;
    }
    if (operand == kPieceFirst) {
        m_shifting = true;
    } else if (!m_shifting) {
        return 0;
    }
    if (operand == kPieceLast) {
        m_shifting = false;
    }
    if (m_instruction == kInstrCfgIn) {
        std::vector<uint8_t> bytes(data, data + setup.length);
        for (uint8_t& byte : bytes) {
            byte = reverseBits(byte);
        }
        m_engine.feed(bytes);
    }
    return setup.length;
}

int JtagTap::shiftOut(const SetupPacket& setup, uint8_t* data) const {
    for (uint16_t i = 0; i < setup.length; ++i) {
        data[i] =
            m_instruction == kInstrIdcode && i < 4 ? static_cast<uint8_t>(m_idcode >> (8 * i)) : 0;
    }
    return setup.length;
}

}  // namespace boardsim
