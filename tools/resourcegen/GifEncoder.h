// A GIF89a writer for pictures of at most 256 colours (Qt reads GIF but does not write it): one
// global colour table holding the picture's colours in the order they first appear (row by row),
// padded with black to a power of two, one image covering the whole screen, LZW-compressed
// (LzwEncoder) in sub-blocks of at most 255 bytes. No extensions: no transparency, no animation.
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace resourcegen {

class GifEncoder {
public:
    static constexpr int kMaxColours = 256;

    // The picture's colours (alpha ignored) in order of first appearance; empty when it has more
    // than kMaxColours.
    static std::vector<QRgb> palette(const QImage& image);

    // The GIF file of the picture; empty for a null picture or one of more than kMaxColours.
    static QByteArray encode(const QImage& image);

    // The bits of one palette index for a palette of that many colours: at least 1.
    static int tableBits(int colours);
};

}  // namespace resourcegen
