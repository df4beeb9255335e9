// The board's small controls: USB speed, the USB FIFO reset, the sensor's video clock and its
// signal weight. Each is a vendor request or a read-modify-write of a sensor register.
#pragma once

struct CamContext;

class BoardControl {
public:
    static constexpr int kRequestSpeed0 = 0xAA;
    static constexpr int kRequestSpeed1 = 0xAB;
    static constexpr int kRequestFifoReset = 0xC0;
    static constexpr int kSensorDvpControl = 0x3003;
    static constexpr int kDvpClockBit = 0x20;
    static constexpr int kSensorSignalWeight = 0x3100;

    // Request 0xAA (speed 0) or 0xAB (any other). The transfer's result is not reported.
    static void setSpeed(CamContext* context, int speed);
    // Request 0xC0 OUT, wValue 0. True when the board took it.
    static bool resetFifo(CamContext* context);
    // Sensor register 0x3003 read (a failure counts as 0) and written back with bit 5 set
    // (running) or cleared.
    static void setDvpClock(CamContext* context, bool running);
    // Sensor register 0x3100 read (the value is not used), then 0x35 (weight 0) or 0x75
    // (weight 1) written. False for any other weight, with nothing sent.
    static bool setSignalWeight(CamContext* context, int weight);
};
