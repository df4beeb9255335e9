// The FPGA's configuration engine: takes a configuration stream byte by byte (in stream order)
// and tells whether it held one complete, valid configuration (BitstreamFormat.h).
//
// Everything before the sync word is ignored (padding, and the header of a ".bit" file, which
// means nothing to the FPGA). After the sync word the packets are checked as they arrive; the
// first error (an unknown packet type or register, a read packet, an IDCODE of another device,
// frame data before WCFG or beyond one configuration, a CRC mismatch) stops the engine until it
// is reset. A stream is complete once the DESYNC command arrived after START, with exactly one
// configuration of frame data and at least one CRC check that matched; whatever follows DESYNC
// is ignored.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "firmware/Crc32c.h"

namespace boardsim {

class ConfigurationEngine {
public:
    explicit ConfigurationEngine(uint32_t idcode);

    // A new stream from the start.
    void reset();
    void feed(std::span<const uint8_t> bytes);

    // The stream so far is complete and valid (see above).
    bool complete() const;
    // Why the stream is not complete ("" when it is).
    std::string problem() const;
    bool failed() const { return !m_error.empty(); }
    // Nothing more can change the outcome: the stream desynchronised or failed.
    bool finished() const { return failed() || m_state == State::Desynced; }
    // The version the stream carried (major << 8 | minor), 0 when none.
    uint16_t version() const { return m_version; }
    uint32_t idcode() const { return m_idcode; }

private:
    enum class State { Hunting, Header, Data, Desynced };

    void byte(uint8_t value);
    void word(uint32_t value);
    void header(uint32_t value);
    void write(uint32_t reg, uint32_t value);
    void command(uint32_t value);
    void fail(std::string reason);

    uint32_t m_idcode;
    State m_state = State::Hunting;
    uint32_t m_shift = 0;
    int m_wordBytes = 0;
    uint32_t m_reg = 0;
    uint32_t m_remaining = 0;
    Crc32c m_crc;
    bool m_crcChecked = false;
    bool m_wcfg = false;
    bool m_started = false;
    uint32_t m_frameWords = 0;
    uint16_t m_version = 0;
    std::string m_error;
};

}  // namespace boardsim
