#include "BlockMeter.h"

#include <algorithm>
#include <cmath>

namespace boardsim {

BlockMeter::BlockMeter(int x0, int y0, int x1, int y1, int width, int height) {
    m_x0 = std::clamp(x0, 0, width);
    m_x1 = std::clamp(x1, 0, width);
    m_y0 = std::clamp(y0, 0, height);
    m_y1 = std::clamp(y1, 0, height);
    if (m_x1 <= m_x0 || m_y1 <= m_y0) {
        m_x0 = 0;
        m_y0 = 0;
        m_x1 = width;
        m_y1 = height;
    }
    for (int i = 0; i <= kBlocks; ++i) {
        m_columnEdges[i] = m_x0 + (m_x1 - m_x0) * i / kBlocks;
        m_rowEdges[i] = m_y0 + (m_y1 - m_y0) * i / kBlocks;
    }
}

void BlockMeter::addRow(int y, const uint8_t* row) {
    if (!covers(y)) {
        return;
    }
    int blockRow = 0;
    while (y >= m_rowEdges[blockRow + 1]) {
        ++blockRow;
    }
    for (int column = 0; column < kBlocks; ++column) {
        int sum = 0;
        const uint8_t* pixel = row + m_columnEdges[column] * 3;
        for (int x = m_columnEdges[column]; x < m_columnEdges[column + 1]; ++x, pixel += 3) {
            sum += pixel[0] + 2 * pixel[1] + pixel[2];
        }
        m_sums[blockRow * kBlocks + column] += sum;
    }
}

int BlockMeter::average(const std::array<uint8_t, 16>& weights) const {
    double weighted = 0.0;
    double weightTotal = 0.0;
    int64_t sum = 0;
    int64_t pixels = 0;
    for (int blockRow = 0; blockRow < kBlocks; ++blockRow) {
        for (int column = 0; column < kBlocks; ++column) {
            const int64_t count =
                static_cast<int64_t>(m_columnEdges[column + 1] - m_columnEdges[column]) *
                (m_rowEdges[blockRow + 1] - m_rowEdges[blockRow]);
            if (count == 0) {
                continue;
            }
            const int64_t blockSum = m_sums[blockRow * kBlocks + column];
            const int weight = weights[blockRow * kBlocks + column] & 0x0F;
            weighted += weight * (static_cast<double>(blockSum) / (4.0 * count));
            weightTotal += weight;
            sum += blockSum;
            pixels += count;
        }
    }
    const double mean = weightTotal > 0.0
                            ? weighted / weightTotal
                            : static_cast<double>(sum) / (4.0 * std::max<int64_t>(pixels, 1));
    return std::clamp(static_cast<int>(std::lround(mean)), 0, 255);
}

}  // namespace boardsim
