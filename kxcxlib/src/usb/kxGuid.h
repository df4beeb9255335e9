// A device interface GUID, held as the 16 bytes of its Windows layout (Data1 32-bit, Data2 and
// Data3 16-bit, Data4 8 bytes; the numeric fields little-endian).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx {

class Guid {
public:
    Guid() = default;
    explicit Guid(const std::array<uint8_t, 16>& bytes) : m_bytes(bytes) {}

    // Reads "{07039751-9D61-46F3-98BD-B4B79AD56B6B}" (braces optional, either letter case).
    static std::optional<Guid> parse(std::string_view text);

    // "{07039751-9D61-46F3-98BD-B4B79AD56B6B}", upper case.
    std::string toString() const;

    const std::array<uint8_t, 16>& bytes() const { return m_bytes; }

    friend bool operator==(const Guid&, const Guid&) = default;

private:
    std::array<uint8_t, 16> m_bytes{};
};

}  // namespace kx
