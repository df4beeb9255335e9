// The sensor's brightness meter: a window of the frame cut into 4 x 4 blocks, each block's mean
// brightness ((R + 2G + B) / 4 per pixel) weighted 0..15. With every weight 0 the window's plain
// mean counts. Fed a row at a time while the frame is drawn.
#pragma once

#include <array>
#include <cstdint>

namespace boardsim {

class BlockMeter {
public:
    static constexpr int kBlocks = 4;

    // The window in frame pixels (end exclusive), clipped to the frame; an empty window meters
    // the whole frame.
    BlockMeter(int x0, int y0, int x1, int y1, int width, int height);

    int top() const { return m_y0; }
    int bottom() const { return m_y1; }
    bool covers(int y) const { return y >= m_y0 && y < m_y1; }

    // Adds the window's part of frame row y (RGB bytes of the whole row).
    void addRow(int y, const uint8_t* row);

    // The weighted mean so far, 0..255 (0 before any row).
    int average(const std::array<uint8_t, 16>& weights) const;

private:
    int m_x0;
    int m_y0;
    int m_x1;
    int m_y1;
    std::array<int, kBlocks + 1> m_columnEdges{};
    std::array<int, kBlocks + 1> m_rowEdges{};
    std::array<int64_t, kBlocks * kBlocks> m_sums{};
};

}  // namespace boardsim
