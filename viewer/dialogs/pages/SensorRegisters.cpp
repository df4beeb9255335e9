#include "SensorRegisters.h"

#include <cerrno>

#include "CxRegisterPort.h"

namespace hv {

namespace {

constexpr bool kWideAddresses = true;
constexpr int kByte = 0xFF;

CxRegisterPort& libraryPort() {
    static CxRegisterPort port;
    return port;
}

}  // namespace

SensorRegisters::SensorRegisters(CamContext* handle) : SensorRegisters(libraryPort(), handle) {}

bool SensorRegisters::read(int reg, int& value) {
    value = 0;
    if (m_handle == nullptr) {
        return true;
    }
    int read = 0;
    if (!m_port.read(m_handle, kSlave, reg, kWideAddresses, read)) {
        return failed();
    }
    value = read & kByte;
    return true;
}

bool SensorRegisters::write(int reg, int value) {
    if (m_handle == nullptr) {
        return true;
    }
    if (!m_port.write(m_handle, kSlave, reg, kWideAddresses, value & kByte)) {
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
    // The camera library's exports leave the platform error of a failed transfer in errno.
    m_lastError = errno;
    return false;
}

}  // namespace hv
