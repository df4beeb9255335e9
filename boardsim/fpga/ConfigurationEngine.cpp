#include "ConfigurationEngine.h"

#include "firmware/BitstreamFormat.h"

namespace boardsim {

using namespace bitstream;

ConfigurationEngine::ConfigurationEngine(uint32_t idcode) : m_idcode(idcode) {}

void ConfigurationEngine::reset() {
    *this = ConfigurationEngine(m_idcode);
}

void ConfigurationEngine::fail(std::string reason) {
    if (m_error.empty()) {
        m_error = std::move(reason);
    }
}

void ConfigurationEngine::feed(std::span<const uint8_t> bytes) {
    for (const uint8_t value : bytes) {
        if (finished()) {
            return;
        }
        byte(value);
    }
}

void ConfigurationEngine::byte(uint8_t value) {
    if (m_state == State::Hunting) {
        m_shift = m_shift << 8 | value;
        if (m_shift != kSyncWord) {
            return;
        }
        m_state = State::Header;
        m_wordBytes = 0;
        m_shift = 0;
        return;
    }
    m_shift = m_shift << 8 | value;
    if (++m_wordBytes == 4) {
        m_wordBytes = 0;
        word(m_shift);
    }
}

void ConfigurationEngine::word(uint32_t value) {
    if (m_state == State::Header) {
        header(value);
        return;
    }
    write(m_reg, value);
    if (--m_remaining == 0) {
        m_state = m_state == State::Desynced ? State::Desynced : State::Header;
    }
}

void ConfigurationEngine::header(uint32_t value) {
    const uint32_t type = value >> kTypeShift;
    const uint32_t op = value >> kOpShift & kOpMask;
    uint32_t count = 0;
    if (type == 1) {
        m_reg = value >> kRegShift & kRegMask;
        count = value & kType1CountMask;
    } else if (type == 2) {
        count = value & kType2CountMask;
    } else {
        fail("unknown packet " + std::to_string(value));
        return;
    }
    if (op == kOpNoop) {
        return;
    }
    if (op != kOpWrite) {
        fail("read packets are not supported");
        return;
    }
    if (count > 0) {
        m_remaining = count;
        m_state = State::Data;
    }
}

void ConfigurationEngine::write(uint32_t reg, uint32_t value) {
    switch (reg) {
        case kRegCrc:
            if (value != m_crc.value()) {
                fail("CRC mismatch");
            }
            m_crcChecked = true;
            return;
        case kRegFdri:
            if (!m_wcfg) {
                fail("frame data before WCFG");
            } else if (++m_frameWords > kFrameWords) {
                fail("frame data beyond one configuration");
            }
            break;
        case kRegCmd:
            command(value);
            if (value == kCmdRcrc) {
                return;
            }
            break;
        case kRegIdcode:
            if (value != m_idcode) {
                fail("IDCODE of another device");
            }
            break;
        case kRegVersion:
            m_version = static_cast<uint16_t>(value & 0xFFFF);
            break;
        default:
            fail("write to unknown register " + std::to_string(reg));
            return;
    }
    m_crc.addWrite(value, reg);
}

void ConfigurationEngine::command(uint32_t value) {
    switch (value) {
        case kCmdRcrc:
            m_crc.reset();
            return;
        case kCmdWcfg:
            m_wcfg = true;
            return;
        case kCmdStart:
            m_started = true;
            return;
        case kCmdDesync:
            m_state = State::Desynced;
            return;
        default:
            fail("unknown command " + std::to_string(value));
    }
}

std::string ConfigurationEngine::problem() const {
    if (!m_error.empty()) {
        return m_error;
    }
    if (m_state != State::Desynced) {
        return m_state == State::Hunting ? "no sync word" : "stream ended early";
    }
    if (!m_started) {
        return "no START command";
    }
    if (m_frameWords != kFrameWords) {
        return "incomplete frame data";
    }
    if (!m_crcChecked) {
        return "no CRC check";
    }
    return "";
}

bool ConfigurationEngine::complete() const {
    return problem().empty();
}

}  // namespace boardsim
