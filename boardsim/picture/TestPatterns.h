// The board's test pictures: the sensor's colour bars, and the FPGA's own colour bars and test
// pattern, which replace the sensor's picture on its way to USB.
#pragma once

#include <cstdint>

namespace boardsim {

class TestPatterns {
public:
    // The sensor's 8 vertical bars across a row at full level: white, yellow, cyan, green,
    // magenta, red, blue, black (every row of the frame is the same).
    static void sensorBarsRow(uint8_t* row, int width);

    // The FPGA's bars: the same 8 colours as horizontal bands at 75 % level over the top of the
    // frame, then a grey ramp, black to white from left to right, along the bottom eighth.
    static void fpgaColourBars(uint8_t* rgb, int width, int height);

    // The FPGA's test pattern: red rising left to right, green top to bottom, blue along the
    // diagonal, under a white grid every 50 pixels and a white border.
    static void fpgaTestPattern(uint8_t* rgb, int width, int height);

    // The bars' colours in order, as red, green, blue on (1) or off (0).
    static constexpr uint8_t kBarColours[8][3] = {{1, 1, 1}, {1, 1, 0}, {0, 1, 1}, {0, 1, 0},
                                                  {1, 0, 1}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0}};
    static constexpr int kGridPitch = 50;
};

}  // namespace boardsim
