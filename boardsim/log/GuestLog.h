// Reports what a simulated part was asked to do that the real part would not understand (an
// unknown register, a write to a read-only one): one line on standard error per report, in the
// manner of a device emulator's guest errors. The access itself stays harmless.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace boardsim {

class GuestLog {
public:
    // part: the reporting part's name as the line shows it ("pca9633", "fpga").
    explicit GuestLog(std::string part);

    // One line "boardsim: <part>: <message>" on standard error.
    void error(std::string_view message) const;
    // As error, but only the first time for this key (for example a register address).
    void errorOnce(uint32_t key, std::string_view message);

    // Reports made so far, counted also when a repeat was not printed.
    int count() const;

    // "0x" and the value in lower-case hex, at least digits wide: hex(0x3C, 2) is "0x3c".
    static std::string hex(uint32_t value, int digits);

private:
    const std::string m_part;
    mutable std::mutex m_mutex;
    std::set<uint32_t> m_reported;
    mutable int m_count = 0;
};

}  // namespace boardsim
