#include "MfgEeprom.h"

#include <chrono>
#include <thread>

namespace hv {

namespace {

using namespace std::chrono_literals;

constexpr bool kByteAddresses = false;
constexpr auto kWriteCycle = 50ms;
constexpr auto kAfterRevision = 50ms;
constexpr auto kBetweenLocationBytes = 100ms;

}  // namespace

std::vector<int> MfgEeprom::read(const MfgField& field) {
    std::vector<int> bytes(static_cast<std::size_t>(field.bytes()), 0);
    for (int i = 0; i < field.bytes(); ++i) {
        m_port.read(m_handle, kSlave, field.address() + i, kByteAddresses,
                    bytes[static_cast<std::size_t>(i)]);
        if (field.id() == MfgField::Revision) {
            std::this_thread::sleep_for(kAfterRevision);
        } else if (field.id() == MfgField::Location && i == 0) {
            std::this_thread::sleep_for(kBetweenLocationBytes);
        }
    }
    return bytes;
}

void MfgEeprom::write(const MfgField& field, const std::vector<int>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        m_port.write(m_handle, kSlave, field.address() + static_cast<int>(i), kByteAddresses,
                     bytes[i]);
        std::this_thread::sleep_for(kWriteCycle);
    }
}

}  // namespace hv
