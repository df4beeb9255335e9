#include "CxRegisterPort.h"

#include <kxCxApi.h>

namespace hv {

bool CxRegisterPort::read(CamContext* handle, int slave, int reg, bool wide, int& value) {
    int answer = 0;
    const bool read = readRegister(handle, slave, reg, &answer, wide ? 1 : 0) == 1;
    value = read ? answer & 0xFF : 0;
    return read;
}

bool CxRegisterPort::write(CamContext* handle, int slave, int reg, bool wide, int value) {
    return writeRegister(handle, slave, reg, value & 0xFF, wide ? 1 : 0) == 1;
}

}  // namespace hv
