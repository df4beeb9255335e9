#include "GifEncoder.h"

#include <algorithm>
#include <unordered_map>

#include "LzwEncoder.h"

namespace resourcegen {

namespace {

constexpr int kSubBlockBytes = 255;

void appendWord(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void appendByte(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
}

}  // namespace

std::vector<QRgb> GifEncoder::palette(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> colours;
    std::unordered_map<QRgb, int> seen;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (seen.emplace(line[x], static_cast<int>(colours.size())).second) {
                if (colours.size() == kMaxColours) {
                    return {};
                }
                colours.push_back(line[x]);
            }
        }
    }
    return colours;
}

int GifEncoder::tableBits(int colours) {
    int bits = 1;
    while ((1 << bits) < colours) {
        ++bits;
    }
    return bits;
}

QByteArray GifEncoder::encode(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    const std::vector<QRgb> colours = palette(image);
    if (colours.empty()) {
        return {};
    }
    const int bits = tableBits(static_cast<int>(colours.size()));
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);

    std::unordered_map<QRgb, uint8_t> indexOf;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        indexOf.emplace(colours[i], static_cast<uint8_t>(i));
    }
    std::vector<uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            indices.push_back(indexOf.at(line[x]));
        }
    }

    QByteArray out("GIF89a");
    // Logical screen: global table present, 8 bits per primary, table of 2^bits entries.
    appendWord(out, rgb.width());
    appendWord(out, rgb.height());
    appendByte(out, 0x80 | (7 << 4) | (bits - 1));
    appendByte(out, 0);  // background colour index
    appendByte(out, 0);  // square pixels
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb colour = i < static_cast<int>(colours.size()) ? colours[i] : qRgb(0, 0, 0);
        appendByte(out, qRed(colour));
        appendByte(out, qGreen(colour));
        appendByte(out, qBlue(colour));
    }
    // Image descriptor: the whole screen, no local table, not interlaced.
    appendByte(out, 0x2C);
    appendWord(out, 0);
    appendWord(out, 0);
    appendWord(out, rgb.width());
    appendWord(out, rgb.height());
    appendByte(out, 0);

    const int minimumCodeSize = std::max(2, bits);
    appendByte(out, minimumCodeSize);
    LzwEncoder lzw(minimumCodeSize);
    const std::vector<uint8_t> codes = lzw.encode(indices);
    for (std::size_t at = 0; at < codes.size(); at += kSubBlockBytes) {
        const std::size_t length = std::min<std::size_t>(kSubBlockBytes, codes.size() - at);
        appendByte(out, static_cast<int>(length));
        out.append(reinterpret_cast<const char*>(codes.data() + at),
                   static_cast<qsizetype>(length));
    }
    appendByte(out, 0);     // block terminator
    appendByte(out, 0x3B);  // trailer
    return out;
}

}  // namespace resourcegen
