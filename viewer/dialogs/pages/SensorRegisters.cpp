#include "SensorRegisters.h"

namespace hv {

namespace {

constexpr bool kWide = true;

}  // namespace

bool SensorRegisters::read(int reg, int& value) {
    return m_port.read(m_handle, kSlave, reg, kWide, value);
}

bool SensorRegisters::write(int reg, int value) {
    return m_port.write(m_handle, kSlave, reg, kWide, value);
}

void SensorRegisters::setBit(int reg, int bit, bool on) {
    int value = 0;
    if (!read(reg, value)) {
        return;
    }
    const int mask = 1 << bit;
    write(reg, on ? value | mask : value & ~mask);
}

}  // namespace hv
