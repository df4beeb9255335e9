// The frame conversion and enlargement of the live view: the frame image is exactly what setting
// each pixel gives; the enlargement is the bilinear mix Qt's smooth scaling paints, to within one
// level, and exactly the rounded mix for the live view's 400 -> 640.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "BilinearScaler.h"
#include "FrameConverter.h"

namespace {

constexpr int kSide = 400;

// R, G, B bytes row by row: noise over gradients, with the extremes 0 and 255 in the corners.
std::vector<uint8_t> variedFrame(uint32_t seed, int width = kSide, int height = kSide) {
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * 3);
    uint32_t noise = seed;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            uint8_t* p = &bytes[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>(x * 255 / width + ((noise >> 16) & 63));
            p[1] = static_cast<uint8_t>(noise >> 24);
            p[2] = static_cast<uint8_t>(y * 255 / height - ((noise >> 8) & 31));
        }
    }
    bytes[0] = bytes[1] = bytes[2] = 0;
    std::fill(bytes.end() - 3, bytes.end(), 255);
    return bytes;
}

// The frame image as setting each pixel makes it.
QImage pixelByPixel(const std::vector<uint8_t>& bytes, int width = kSide, int height = kSide) {
    QImage image(width, height, QImage::Format_ARGB32);
    const uint8_t* p = bytes.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, p += 3) {
            image.setPixel(x, y, qRgb(p[0], p[1], p[2]));
        }
    }
    return image;
}

struct Difference {
    int largest = 0;
    double share = 0;  // of the colour channels that differ at all
    bool opaque = true;
};

Difference compare(const QImage& expected, const QImage& actual) {
    Difference difference;
    long differing = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb e = expected.pixel(x, y);
            const QRgb a = actual.pixel(x, y);
            difference.opaque = difference.opaque && qAlpha(a) == 255;
            for (int d : {qRed(e) - qRed(a), qGreen(e) - qGreen(a), qBlue(e) - qBlue(a)}) {
                difference.largest = std::max(difference.largest, std::abs(d));
                differing += d != 0;
            }
        }
    }
    difference.share =
        static_cast<double>(differing) / (expected.width() * expected.height() * 3.0);
    return difference;
}

TEST(FrameConverter, TheFrameImageIsBlackBeforeTheFirstFrame) {
    hv::FrameConverter converter(kSide, kSide);
    const QImage& frame = converter.frame();
    ASSERT_EQ(frame.size(), QSize(kSide, kSide));
    EXPECT_EQ(frame.format(), QImage::Format_ARGB32);
    EXPECT_EQ(frame.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(frame.pixel(kSide - 1, kSide - 1), qRgb(0, 0, 0));
}

TEST(FrameConverter, ConvertingGivesTheImageThatSettingEachPixelGives) {
    const auto bytes = variedFrame(1);
    hv::FrameConverter converter(kSide, kSide);
    const QImage& frame = converter.convert(bytes.data());
    EXPECT_EQ(frame.format(), QImage::Format_ARGB32);
    EXPECT_EQ(frame, pixelByPixel(bytes));
    EXPECT_EQ(frame.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(frame.pixel(kSide - 1, kSide - 1), 0xFFFFFFFFu);
}

TEST(FrameConverter, AnUnevenFrameSizeConvertsRowByRow) {
    const auto bytes = variedFrame(2, 7, 3);
    hv::FrameConverter converter(7, 3);
    EXPECT_EQ(converter.convert(bytes.data()), pixelByPixel(bytes, 7, 3));
}

TEST(FrameConverter, TheFrameImageStaysTheSameObjectAndShowsTheNewestFrame) {
    const auto first = variedFrame(3);
    const auto second = variedFrame(4);
    hv::FrameConverter converter(kSide, kSide);
    const QImage* frame = &converter.frame();
    converter.convert(first.data());
    const QImage held = converter.frame();
    EXPECT_EQ(&converter.convert(second.data()), frame);
    EXPECT_EQ(*frame, pixelByPixel(second));
    // A copy taken earlier keeps the earlier frame.
    EXPECT_EQ(held, pixelByPixel(first));
}

TEST(FrameConverter, ScaledImagesHandedOutKeepTheirPixels) {
    const auto first = variedFrame(5);
    const auto second = variedFrame(6);
    hv::FrameConverter converter(kSide, kSide);
    converter.convert(first.data());
    const QImage firstScaled = converter.scaled(640);
    const QImage firstCopy = firstScaled.copy();
    converter.convert(second.data());
    converter.scaled(640);
    const QImage secondScaled = converter.scaled(640);
    EXPECT_EQ(firstScaled, firstCopy);
    EXPECT_NE(secondScaled, firstCopy);
}

TEST(FrameConverter, AnEdgeBelowOneGivesANullImage) {
    hv::FrameConverter converter(kSide, kSide);
    EXPECT_TRUE(converter.scaled(0).isNull());
    EXPECT_TRUE(converter.scaled(-640).isNull());
    EXPECT_EQ(converter.scaled(640).size(), QSize(640, 640));
}

TEST(FrameConverter, AFlatFrameStaysFlatUpToEveryEdge) {
    std::vector<uint8_t> bytes(kSide * kSide * 3);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        bytes[i] = 12;
        bytes[i + 1] = 200;
        bytes[i + 2] = 99;
    }
    hv::FrameConverter converter(kSide, kSide);
    converter.convert(bytes.data());
    for (int edge : {640, 704, 401}) {
        const QImage& scaled = converter.scaled(edge);
        ASSERT_EQ(scaled.size(), QSize(edge, edge));
        for (int y = 0; y < edge; ++y) {
            for (int x = 0; x < edge; ++x) {
                ASSERT_EQ(scaled.pixel(x, y), qRgb(12, 200, 99)) << edge << ": " << x << "," << y;
            }
        }
    }
}

// At 400 -> 640 each displayed pixel centre falls on a sixteenth of a frame pixel, so the
// bilinear mix is exact and rounds to nearest; beyond the border the edge pixels repeat.
TEST(FrameConverter, At640EveryChannelIsTheRoundedMixAtThePixelCentre) {
    const auto bytes = variedFrame(7);
    hv::FrameConverter converter(kSide, kSide);
    const QImage& frame = converter.convert(bytes.data());
    const QImage& scaled = converter.scaled(640);
    auto neighbours = [](int target, int& first, int& second, double& weight) {
        const double position = (target + 0.5) * kSide / 640.0 - 0.5;
        first = static_cast<int>(std::floor(position));
        weight = position - first;
        second = first + 1;
        if (first < 0) {
            first = second = 0;
        } else if (first >= kSide - 1) {
            first = second = kSide - 1;
        }
    };
    for (int y = 0; y < 640; ++y) {
        int top = 0;
        int bottom = 0;
        double wy = 0;
        neighbours(y, top, bottom, wy);
        for (int x = 0; x < 640; ++x) {
            int left = 0;
            int right = 0;
            double wx = 0;
            neighbours(x, left, right, wx);
            const QRgb corners[4] = {frame.pixel(left, top), frame.pixel(right, top),
                                     frame.pixel(left, bottom), frame.pixel(right, bottom)};
            auto mix = [&](int (*channel)(QRgb)) {
                const double upper = channel(corners[0]) * (1 - wx) + channel(corners[1]) * wx;
                const double lower = channel(corners[2]) * (1 - wx) + channel(corners[3]) * wx;
                return static_cast<int>(std::floor(upper * (1 - wy) + lower * wy + 0.5));
            };
            const QRgb expected = qRgb(mix(qRed), mix(qGreen), mix(qBlue));
            ASSERT_EQ(scaled.pixel(x, y), expected) << x << "," << y;
        }
    }
}

// Qt's smooth scaling of the same ARGB32 image: every channel within one level, and few of
// them differ at all (about 0.6% at 640 and 0.4% at 704 on noise).
TEST(FrameConverter, ScaledAgreesWithQtsSmoothScalingToWithinOneLevel) {
    const auto bytes = variedFrame(8);
    hv::FrameConverter converter(kSide, kSide);
    const QImage& frame = converter.convert(bytes.data());
    for (int edge : {640, 704, 641, 643}) {
        const QImage expected =
            frame.scaled(edge, edge, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage& scaled = converter.scaled(edge);
        ASSERT_EQ(scaled.size(), expected.size());
        EXPECT_EQ(scaled.format(), QImage::Format_ARGB32);
        const Difference difference = compare(expected, scaled);
        EXPECT_LE(difference.largest, 1) << edge;
        EXPECT_LT(difference.share, 0.02) << edge;
        EXPECT_TRUE(difference.opaque) << edge;
    }
}

// The vector paths the processor offers and the plain code give the same pixels, also for
// widths that leave pixels over after the last whole vector turn.
TEST(BilinearScaler, EveryPathGivesTheSamePixels) {
    const QImage frame = pixelByPixel(variedFrame(10));
    for (int edge : {640, 704, 643, 5}) {
        hv::BilinearScaler scaler(kSide, kSide, edge, edge);
        scaler.usePath(0);
        QImage plain(edge, edge, QImage::Format_ARGB32);
        scaler.scale(frame, plain);
        for (int path = 1; path <= hv::BilinearScaler::fastestPath(); ++path) {
            scaler.usePath(path);
            QImage vector(edge, edge, QImage::Format_ARGB32);
            scaler.scale(frame, vector);
            EXPECT_EQ(vector, plain) << "path " << path << ", edge " << edge;
        }
    }
}

TEST(BilinearScaler, LeavesImagesOfOtherSizesUntouched) {
    hv::BilinearScaler scaler(kSide, kSide, 640, 640);
    QImage source(kSide, kSide + 1, QImage::Format_ARGB32);
    source.fill(Qt::white);
    QImage target(640, 640, QImage::Format_ARGB32);
    target.fill(Qt::black);
    scaler.scale(source, target);
    EXPECT_EQ(target.pixel(320, 320), qRgb(0, 0, 0));

    QImage smallTarget(639, 640, QImage::Format_ARGB32);
    smallTarget.fill(Qt::black);
    scaler.scale(source.copy(0, 0, kSide, kSide), smallTarget);
    EXPECT_EQ(smallTarget.pixel(320, 320), qRgb(0, 0, 0));
}

}  // namespace
