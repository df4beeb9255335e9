// GIF's LZW coding: exact code widths as the table grows, a fresh table every 3838 entries, and
// streams Qt's GIF reader decodes back to the indices.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "GifEncoder.h"
#include "LzwEncoder.h"

namespace {

using resourcegen::GifEncoder;
using resourcegen::LzwEncoder;

// A run of one value that LZW codes in exactly `codes` codes: 1 + 2 + ... + codes values.
std::vector<uint8_t> runInCodes(int codes, uint8_t value) {
    return std::vector<uint8_t>(static_cast<std::size_t>(codes * (codes + 1) / 2), value);
}

// All 65536 ordered pairs of 8-bit indices, each adjacent pair once: 0, 0 1, 0 2 ... 0 255, 1,
// 1 2 ... Every code is then a single index, so every code makes a new entry.
std::vector<uint8_t> pairsNeverRepeating() {
    std::vector<uint8_t> indices;
    for (int i = 0; i < 256; ++i) {
        indices.push_back(static_cast<uint8_t>(i));
        for (int j = i + 1; j < 256; ++j) {
            indices.push_back(static_cast<uint8_t>(i));
            indices.push_back(static_cast<uint8_t>(j));
        }
    }
    return indices;
}

// The values as a grey picture (value v -> grey v), through the GIF writer and Qt's GIF reader,
// back to values.
std::vector<uint8_t> throughQtsReader(const std::vector<uint8_t>& indices, int width) {
    const int height = static_cast<int>(indices.size()) / width;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int index = indices[static_cast<std::size_t>(y * width + x)];
            image.setPixel(x, y, qRgb(index, index, index));
        }
    }
    QByteArray gif = GifEncoder::encode(image);
    QBuffer buffer(&gif);
    QImageReader reader(&buffer, "gif");
    const QImage decoded = reader.read().convertToFormat(QImage::Format_RGB32);
    std::vector<uint8_t> out;
    for (int y = 0; y < decoded.height(); ++y) {
        for (int x = 0; x < decoded.width(); ++x) {
            out.push_back(static_cast<uint8_t>(qRed(decoded.pixel(x, y))));
        }
    }
    return out;
}

TEST(ResourceLzwEncoder, EmptyInputIsAClearCodeThenTheEndCode) {
    LzwEncoder lzw(2);
    // Clear 4 and end 5, three bits each, least significant bit first: 100 then 101.
    EXPECT_EQ(lzw.encode({}), std::vector<uint8_t>({0x2C}));
    EXPECT_EQ(lzw.tableResets(), 0);
    EXPECT_EQ(lzw.widestCode(), 3);
}

TEST(ResourceLzwEncoder, ShortStreamPacksCodesLeastSignificantBitFirst) {
    LzwEncoder lzw(2);
    // 1 1 1 1: clear 4, then 1, 6 ("1 1"), 1, end 5. Reading the last 1 takes the decoder's
    // table to 8 entries, so the end code is 4 bits wide. First code lowest:
    // 100 | 001 | 110 | 001 | 0101 = 0x538C.
    EXPECT_EQ(lzw.encode({1, 1, 1, 1}), std::vector<uint8_t>({0x8C, 0x53}));
    EXPECT_EQ(lzw.widestCode(), 4);
}

TEST(ResourceLzwEncoder, CodesWidenExactlyWhenTheDecodersTableReachesAPowerOfTwo) {
    // A run coded in 1000 codes leaves the decoder's table at 1005 entries: codes of 10 bits.
    // In 1019 codes the table reaches 1024 with the last index code, so the end code takes 11.
    LzwEncoder lzw(2);
    lzw.encode(runInCodes(1000, 0));
    EXPECT_EQ(lzw.widestCode(), 10);
    lzw.encode(runInCodes(1019, 0));
    EXPECT_EQ(lzw.widestCode(), 11);
    lzw.encode(runInCodes(1018, 0));
    EXPECT_EQ(lzw.widestCode(), 10);
    EXPECT_EQ(lzw.tableResets(), 0);
}

TEST(ResourceLzwEncoder, RunsAtTheWidthBoundaryDecodeThroughQtsReader) {
    for (const auto& [codes, width] : {std::pair{1018, 509}, std::pair{1019, 1019}}) {
        // White: its palette, padded with black, shows misread codes.
        const std::vector<uint8_t> run = runInCodes(codes, 255);
        EXPECT_EQ(throughQtsReader(run, width), run) << codes << " codes";
    }
}

TEST(ResourceLzwEncoder, FullTableStartsAfreshEvery3838Entries) {
    const std::vector<uint8_t> indices = pairsNeverRepeating();
    ASSERT_EQ(indices.size(), 65536u);
    std::set<std::pair<uint8_t, uint8_t>> pairs;
    for (std::size_t i = 1; i < indices.size(); ++i) {
        pairs.emplace(indices[i - 1], indices[i]);
    }
    ASSERT_EQ(pairs.size(), indices.size() - 1);

    LzwEncoder lzw(8);
    lzw.encode(indices);
    // 65535 entries, 4096 - 258 = 3838 to a table.
    EXPECT_EQ(lzw.tableResets(), 65535 / 3838);
    EXPECT_EQ(lzw.widestCode(), 12);
    EXPECT_EQ(throughQtsReader(indices, 256), indices);
}

TEST(ResourceLzwEncoder, RefusesIndicesWiderThanTheCodeSize) {
    EXPECT_THROW(LzwEncoder(1), std::invalid_argument);
    EXPECT_THROW(LzwEncoder(9), std::invalid_argument);
    LzwEncoder lzw(2);
    EXPECT_THROW(lzw.encode({0, 3, 4}), std::invalid_argument);
}

}  // namespace
