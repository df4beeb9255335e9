#include "regs/kxRegisterAccess.h"

#include <memory>
#include <new>

#include "device/kxCamChannel.h"

int RegisterAccess::read(CamContext* context, int slave, int reg, int* value, bool wide) {
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[2]());
    if (!buffer) {
        if (value != nullptr) {
            *value = 0;
        }
        return -3;
    }
    int transferred = 0;
    CamChannel::control(context, 1, kRequestI2c, reg, addressWord(slave, wide), 1, buffer.get(),
                        &transferred);
    if (value != nullptr) {
        *value = transferred > 0 ? buffer[0] : 0;
    }
    return transferred;
}

int RegisterAccess::write(CamContext* context, int slave, int reg, int value, bool wide) {
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[2]());
    if (!buffer) {
        return -3;
    }
    buffer[0] = static_cast<uint8_t>(value & 0xFF);
    int transferred = 0;
    CamChannel::control(context, 0, kRequestI2c, reg, addressWord(slave, wide), 1, buffer.get(),
                        &transferred);
    return transferred;
}

int RegisterAccess::readOrZero(CamContext* context, int slave, int reg, bool wide) {
    int value = 0;
    read(context, slave, reg, &value, wide);
    return value;
}
