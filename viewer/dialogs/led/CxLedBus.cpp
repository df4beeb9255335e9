#include "CxLedBus.h"

#include <kxCxApi.h>

namespace hv {

namespace {

constexpr int kByteAddresses = 0;

}  // namespace

bool CxLedBus::read(int chip, int reg, int& value) {
    return readRegister(m_handle, chip, reg, &value, kByteAddresses) == 1;
}

void CxLedBus::write(int chip, int reg, int value) {
    writeRegister(m_handle, chip, reg, value, kByteAddresses);
}

}  // namespace hv
