#include "ColourGainRegisters.h"

namespace hv {

int ColourGainRegisters::read(SensorRegisters& sensor) const {
    int high = 0;
    int low = 0;
    sensor.read(highRegister(), high);
    sensor.read(lowRegister(), low);
    return (high & 0x0F) << 8 | low;
}

void ColourGainRegisters::write(SensorRegisters& sensor, int gain, Order order) const {
    if (order == Order::LowFirst) {
        sensor.write(lowRegister(), lowByte(gain));
        sensor.write(highRegister(), highByte(gain));
    } else {
        sensor.write(highRegister(), highByte(gain));
        sensor.write(lowRegister(), lowByte(gain));
    }
}

}  // namespace hv
