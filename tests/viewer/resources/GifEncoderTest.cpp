// The GIF writer: the file's layout byte for byte on a small picture, the palette in order of
// first appearance padded to a power of two, the 256-colour limit, and noise of 256 colours
// that Qt's GIF reader decodes back exactly.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <random>
#include <vector>

#include "GifEncoder.h"

namespace {

using resourcegen::GifEncoder;

QImage decoded(QByteArray gif) {
    QBuffer buffer(&gif);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

std::vector<int> bytesOf(const QByteArray& bytes, int from, int count) {
    std::vector<int> out;
    for (int i = from; i < from + count; ++i) {
        out.push_back(static_cast<uint8_t>(bytes[i]));
    }
    return out;
}

TEST(ResourceGifEncoder, SmallPictureIsLaidOutAsGif89a) {
    // 3 x 2, three colours: red first, then green, then blue.
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(2, 0, qRgb(255, 0, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(0, 255, 0));
    image.setPixel(2, 1, qRgb(0, 0, 255));
    const QByteArray gif = GifEncoder::encode(image);

    ASSERT_GT(gif.size(), 38);
    EXPECT_EQ(gif.left(6), QByteArray("GIF89a"));
    // Screen 3 x 2, global table of 4 entries at 8 bits a primary, background 0, square pixels.
    EXPECT_EQ(bytesOf(gif, 6, 7), std::vector<int>({3, 0, 2, 0, 0xF1, 0, 0}));
    EXPECT_EQ(bytesOf(gif, 13, 12), std::vector<int>({255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0}));
    // Image at 0,0 of 3 x 2, no local table, then the minimum code size 2.
    EXPECT_EQ(bytesOf(gif, 25, 11), std::vector<int>({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0, 2}));
    // One sub-block of the codes, the block terminator, the trailer.
    const int codeBytes = static_cast<uint8_t>(gif[36]);
    EXPECT_EQ(gif.size(), 37 + codeBytes + 2);
    EXPECT_EQ(static_cast<uint8_t>(gif[gif.size() - 2]), 0);
    EXPECT_EQ(static_cast<uint8_t>(gif[gif.size() - 1]), 0x3B);
    EXPECT_EQ(decoded(gif), image);
}

TEST(ResourceGifEncoder, TableBitsCoverThePalette) {
    EXPECT_EQ(GifEncoder::tableBits(1), 1);
    EXPECT_EQ(GifEncoder::tableBits(2), 1);
    EXPECT_EQ(GifEncoder::tableBits(3), 2);
    EXPECT_EQ(GifEncoder::tableBits(16), 4);
    EXPECT_EQ(GifEncoder::tableBits(17), 5);
    EXPECT_EQ(GifEncoder::tableBits(256), 8);
}

TEST(ResourceGifEncoder, RefusesMoreThan256ColoursAndNullPictures) {
    QImage image(257, 1, QImage::Format_RGB32);
    for (int x = 0; x < 257; ++x) {
        image.setPixel(x, 0, qRgb(x & 0xFF, x >> 8, 7));
    }
    EXPECT_TRUE(GifEncoder::palette(image).empty());
    EXPECT_TRUE(GifEncoder::encode(image).isEmpty());
    const QImage first256 = image.copy(0, 0, 256, 1);
    EXPECT_EQ(GifEncoder::palette(first256).size(), 256u);
    EXPECT_FALSE(GifEncoder::encode(first256).isEmpty());
    EXPECT_TRUE(GifEncoder::encode(QImage()).isEmpty());
}

TEST(ResourceGifEncoder, NoiseOf256ColoursDecodesExactlyThroughQtsReader) {
    std::mt19937 random(20260112);
    QImage image(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int colour = static_cast<int>(random() & 0xFF);
            image.setPixel(x, y, qRgb(colour, 255 - colour, (colour * 37) & 0xFF));
        }
    }
    ASSERT_EQ(GifEncoder::palette(image).size(), 256u);
    EXPECT_EQ(decoded(GifEncoder::encode(image)), image);
}

TEST(ResourceGifEncoder, LongStripesCompressAndDecodeExactly) {
    QImage image(1200, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, (x / 150 + y / 100) % 3 == 0 ? qRgb(10, 20, 30) : qRgb(200, 0, 0));
        }
    }
    const QByteArray gif = GifEncoder::encode(image);
    EXPECT_LT(gif.size(), 1200 * 300 / 40);
    EXPECT_EQ(decoded(gif), image);
}

}  // namespace
