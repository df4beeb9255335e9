#include "MedianFilter.h"

#include <algorithm>
#include <cstring>

namespace boardsim {

namespace {

constexpr int kChannels = 3;
// Rows are worked on in blocks of this many values, which the compiler turns into vector
// instructions; the buffers are padded to whole blocks.
constexpr int kBlock = 16;

int wholeBlocks(int values) {
    return (values + kBlock - 1) / kBlock * kBlock;
}

// Sorts each column (above[i], at[i], below[i]) into low, middle and high.
void sortColumns(const uint8_t* __restrict above, const uint8_t* __restrict at,
                 const uint8_t* __restrict below, uint8_t* __restrict low,
                 uint8_t* __restrict middle, uint8_t* __restrict high, int values) {
    for (int start = 0; start < values; start += kBlock) {
        for (int i = start; i < start + kBlock; ++i) {
            const uint8_t a = std::min(above[i], at[i]);
            const uint8_t b = std::max(above[i], at[i]);
            const uint8_t c = below[i];
            low[i] = std::min(a, c);
            high[i] = std::max(b, c);
            middle[i] = std::max(a, std::min(b, c));
        }
    }
}

// The median of each 3 x 3 neighbourhood from its three sorted columns, which lie kChannels
// apart: the median of the highest low, the middle middle and the lowest high. out[i] is the
// pixel value whose columns start at index i + kChannels.
void medians(const uint8_t* __restrict low, const uint8_t* __restrict middle,
             const uint8_t* __restrict high, uint8_t* __restrict out, int values) {
    constexpr int k = kChannels;
    for (int start = 0; start < values; start += kBlock) {
        for (int i = start; i < start + kBlock; ++i) {
            const uint8_t lows = std::max(std::max(low[i], low[i + k]), low[i + 2 * k]);
            const uint8_t highs = std::min(std::min(high[i], high[i + k]), high[i + 2 * k]);
            const uint8_t m0 = middle[i];
            const uint8_t m1 = middle[i + k];
            const uint8_t m2 = middle[i + 2 * k];
            const uint8_t middles = std::max(std::min(m0, m1), std::min(std::max(m0, m1), m2));
            out[i] = std::max(std::min(lows, middles), std::min(std::max(lows, middles), highs));
        }
    }
}

}  // namespace

MedianFilter::MedianFilter(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)) {
    const int rowValues = m_width * kChannels;
    // The sorted columns are read up to 2 * kChannels past the last block of medians.
    const int padded = wholeBlocks(rowValues) + kBlock;
    for (auto& row : m_rows) {
        row.assign(padded, 0);
    }
    m_low.assign(padded, 0);
    m_middle.assign(padded, 0);
    m_high.assign(padded, 0);
    m_out.assign(padded, 0);
}

void MedianFilter::apply(uint8_t* rgb) {
    if (m_width < 3 || m_height < 3) {
        return;  // every pixel is at the border
    }
    const int rowValues = m_width * kChannels;
    const int sorted = wholeBlocks(rowValues);
    const int inner = rowValues - 2 * kChannels;
    const int medianValues = wholeBlocks(inner);
    std::memcpy(m_rows[0].data(), rgb, rowValues);
    std::memcpy(m_rows[1].data(), rgb + rowValues, rowValues);
    for (int y = 1; y < m_height - 1; ++y) {
        uint8_t* row = rgb + static_cast<size_t>(y) * rowValues;
        const std::vector<uint8_t>& above = m_rows[(y - 1) % 3];
        const std::vector<uint8_t>& at = m_rows[y % 3];
        std::vector<uint8_t>& below = m_rows[(y + 1) % 3];
        std::memcpy(below.data(), row + rowValues, rowValues);
        sortColumns(above.data(), at.data(), below.data(), m_low.data(), m_middle.data(),
                    m_high.data(), sorted);
        medians(m_low.data(), m_middle.data(), m_high.data(), m_out.data(), medianValues);
        std::memcpy(row + kChannels, m_out.data(), inner);
    }
}

}  // namespace boardsim
