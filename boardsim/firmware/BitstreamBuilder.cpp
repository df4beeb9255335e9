#include "BitstreamBuilder.h"

#include "BitstreamFormat.h"
#include "Crc32c.h"

namespace boardsim {

namespace {

using namespace bitstream;

class WordWriter {
public:
    explicit WordWriter(std::vector<uint8_t>& out) : m_out(out) {}
    void word(uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            m_out.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    // A type 1 write of one word, counted in the CRC.
    void write(uint32_t reg, uint32_t value) {
        word(type1(kOpWrite, reg, 1));
        word(value);
        if (reg == kRegCmd && value == kCmdRcrc) {
            m_crc.reset();
        } else {
            m_crc.addWrite(value, reg);
        }
    }
    void frames(uint32_t seed) {
        word(type1(kOpWrite, kRegFdri, 0));
        word(type2(kOpWrite, kFrameWords));
        uint32_t state = seed != 0 ? seed : 1;
        for (uint32_t i = 0; i < kFrameWords; ++i) {
            // xorshift32: frame content that does not compress to nothing.
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            word(state);
            m_crc.addWrite(state, kRegFdri);
        }
    }
    uint32_t crc() const { return m_crc.value(); }

private:
    std::vector<uint8_t>& m_out;
    Crc32c m_crc;
};

}  // namespace

BitstreamBuilder BitstreamBuilder::release(uint8_t major, uint8_t minor, uint32_t idcode) {
    BitstreamBuilder builder;
    builder.versionMajor = major;
    builder.versionMinor = minor;
    builder.idcode = idcode;
    builder.seed = static_cast<uint32_t>(major << 8 | minor);
    return builder;
}

std::vector<uint8_t> BitstreamBuilder::build() const {
    std::vector<uint8_t> out;
    WordWriter w(out);
    for (int i = 0; i < 8; ++i) {
        w.word(kPadWord);
    }
    w.word(kSyncWord);
    w.word(kNoop);
    w.write(kRegCmd, kCmdRcrc);
    w.word(kNoop);
    w.write(kRegIdcode, idcode != 0 ? idcode : kDefaultIdcode);
    w.write(kRegVersion, static_cast<uint32_t>(versionMajor) << 8 | versionMinor);
    w.write(kRegCmd, kCmdWcfg);
    w.frames(seed);
    const uint32_t crc = w.crc();
    w.word(type1(kOpWrite, kRegCrc, 1));
    w.word(crc);
    w.write(kRegCmd, kCmdStart);
    w.write(kRegCmd, kCmdDesync);
    for (int i = 0; i < 4; ++i) {
        w.word(kNoop);
    }
    return out;
}

}  // namespace boardsim
