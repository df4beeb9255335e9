// The FPGA's median filter (register 0x20): every pixel becomes the median of the 3 x 3 pixels
// around it, each colour on its own. It takes out the sensor's pixel noise and single hot or dead
// pixels while edges stay sharp. The pixels of the outermost rows and columns, which lack a full
// neighbourhood, pass unchanged.
//
// The frame is filtered in place, row by row: the unfiltered rows above and at the one being
// written are kept in the filter's own buffers, which are made once with the filter, so that a
// frame allocates nothing.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace boardsim {

class MedianFilter {
public:
    // Frames of width x height RGB pixels (3 bytes each, rows from the top).
    MedianFilter(int width, int height);

    void apply(uint8_t* rgb);

private:
    int m_width;
    int m_height;
    // Unfiltered copies of the three rows around the one being written, in turn.
    std::array<std::vector<uint8_t>, 3> m_rows;
    // Each column of three values sorted: the lowest, the middle and the highest.
    std::vector<uint8_t> m_low;
    std::vector<uint8_t> m_middle;
    std::vector<uint8_t> m_high;
    std::vector<uint8_t> m_out;
};

}  // namespace boardsim
