#include "regs/kxBoardControl.h"

#include "device/kxCamChannel.h"
#include "regs/kxRegisterAccess.h"

namespace {
constexpr int kSignalWeightValues[] = {0x35, 0x75};
}

void BoardControl::setSpeed(CamContext* context, int speed) {
    CamChannel::control(context, 0, speed == 0 ? kRequestSpeed0 : kRequestSpeed1, 0, 0, 0, nullptr,
                        nullptr);
}

bool BoardControl::resetFifo(CamContext* context) {
    return CamChannel::control(context, 0, kRequestFifoReset, 0, 0, 0, nullptr, nullptr) == 0;
}

void BoardControl::setDvpClock(CamContext* context, bool running) {
    const int value =
        RegisterAccess::readOrZero(context, RegisterAccess::kSlaveSensor, kSensorDvpControl, true);
    RegisterAccess::write(context, RegisterAccess::kSlaveSensor, kSensorDvpControl,
                          running ? value | kDvpClockBit : value & ~kDvpClockBit, true);
}

bool BoardControl::setSignalWeight(CamContext* context, int weight) {
    if (static_cast<unsigned>(weight) > 1) {
        return false;
    }
    RegisterAccess::readOrZero(context, RegisterAccess::kSlaveSensor, kSensorSignalWeight, true);
    RegisterAccess::write(context, RegisterAccess::kSlaveSensor, kSensorSignalWeight,
                          kSignalWeightValues[weight], true);
    return true;
}
