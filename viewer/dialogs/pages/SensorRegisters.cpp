#include "SensorRegisters.h"

#include <cerrno>

#include "kxCxApi.h"

namespace hv {

namespace {

constexpr int kWideAddresses = 1;
constexpr int kByte = 0xFF;

}  // namespace

bool SensorRegisters::read(int reg, int& value) {
    value = 0;
    if (m_handle == nullptr) {
        return true;
    }
    int read = 0;
    if (readRegister(m_handle, kSlave, reg, &read, kWideAddresses) != 1) {
        return failed();
    }
    value = read & kByte;
    return true;
}

bool SensorRegisters::write(int reg, int value) {
    if (m_handle == nullptr) {
        return true;
    }
    if (writeRegister(m_handle, kSlave, reg, value & kByte, kWideAddresses) != 1) {
        return failed();
    }
    return true;
}

bool SensorRegisters::setBits(int reg, int mask, bool on) {
    int value = 0;
    if (!read(reg, value)) {
        return false;
    }
    return write(reg, on ? value | mask : value & ~mask);
}

bool SensorRegisters::readPair(int highReg, int& value) {
    value = 0;
    int high = 0;
    int low = 0;
    if (!read(highReg, high) || !read(highReg + 1, low)) {
        return false;
    }
    value = high << 8 | low;
    return true;
}

bool SensorRegisters::writePair(int highReg, int value, int highMask) {
    return write(highReg, (value >> 8) & highMask) && write(highReg + 1, value & kByte);
}

bool SensorRegisters::failed() {
    m_lastError = errno;  // the camera library's exports leave the platform error there
    return false;
}

}  // namespace hv
