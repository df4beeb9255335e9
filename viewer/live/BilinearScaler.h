// Resizes a 32-bit image (ARGB32 or RGB32) by bilinear interpolation, the way Qt's raster engine
// samples a smooth scaled image: each target pixel centre maps back into the source, the two
// nearest source columns and rows are mixed by their distances, and pixels beyond the border
// repeat the edge. Weights have 14 bits and the mix is rounded to the nearest level, so an
// enlargement of an opaque frame agrees with QImage::scaled(..., Qt::SmoothTransformation) of
// the same ARGB32 image to within one level per channel (that path keeps 16-bit weights and
// rounds differently); for the live view's 400 -> 640 the weights are exact sixteenths and every
// channel is the exactly rounded bilinear mix. (A reduction is bilinear too, where Qt averages
// areas.)
//
// Every source row is interpolated horizontally once, into 8.8 fixed-point levels, and each
// target row mixes the two it needs. The inner loops use AVX2 or SSE2 when the processor has
// them; all paths give the same result.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace hv {

class BilinearScaler {
public:
    // Sizes of at least 1 pixel.
    BilinearScaler(int sourceWidth, int sourceHeight, int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Writes the resized source into target. Both are 32-bit images of this scaler's sizes
    // (source sourceWidth x sourceHeight, target width x height); others are left alone.
    void scale(const QImage& source, QImage& target);

    // The source pixels of a target column or row and the weight of the second (1/16384ths).
    struct Tap {
        int first;
        int second;  // first + 1, or first itself at the border
        int weight;
    };
    // Vector paths the processor offers, fastest first, and which one scale() uses: 2 AVX2,
    // 1 SSE2, 0 plain code. Tests lower it to compare the paths.
    static int fastestPath();
    void usePath(int path);

private:
    void interpolateRow(const uint32_t* source, int16_t* row);
    static Tap tapAt(int position, int sourceSize);
    static std::vector<Tap> columnTaps(int sourceSize, int size);
    static std::vector<Tap> rowTaps(int sourceSize, int size);

    int m_sourceWidth;
    int m_sourceHeight;
    int m_width;
    int m_height;
    int m_path;
    std::vector<Tap> m_columns;
    std::vector<Tap> m_rows;
    std::vector<int32_t> m_firsts;   // per target column: its first source column
    std::vector<int16_t> m_weights;  // per target column: (1 - weight, weight) for 4 channels
    std::vector<int16_t> m_pairs;    // per source column: it and the next, channel by channel
    std::vector<int16_t> m_upper;    // the horizontally interpolated rows, 4 levels a pixel
    std::vector<int16_t> m_lower;
};

}  // namespace hv
