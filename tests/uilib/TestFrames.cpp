#include "TestFrames.h"

#include <cmath>
#include <cstdlib>

#include "QVideoDecoder.h"
#include "QVideoEncoder.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace uitest {

QImage syntheticFrame(int index, int width, int height, QImage::Format format) {
    QImage frame(width, height, format);
    const int green = 20 + 4 * index;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            frame.setPixel(x, y, qRgb(x * 255 / width, green, y * 255 / height));
        }
    }
    return frame;
}

int frameIndexOf(const QImage& picture) {
    double sum = 0;
    int count = 0;
    const int x0 = picture.width() / 4;
    const int y0 = picture.height() / 4;
    for (int y = y0; y < y0 + picture.height() / 2; ++y) {
        for (int x = x0; x < x0 + picture.width() / 2; ++x) {
            sum += qGreen(picture.pixel(x, y));
            ++count;
        }
    }
    return static_cast<int>(std::lround((sum / count - 20) / 4));
}

double meanAbsoluteDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

QList<int> decodedFrameIndexes(const QString& fileName) {
    QList<int> indexes;
    QVideoDecoder decoder;
    if (!decoder.openFile(fileName)) {
        return indexes;
    }
    QImage picture;
    while (decoder.seekNextFrame() && decoder.getFrame(picture)) {
        indexes << frameIndexOf(picture);
    }
    return indexes;
}

QStringList containerMetadata(const QString& fileName) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, fileName.toUtf8().constData(), nullptr, nullptr) < 0) {
        return {QStringLiteral("unreadable")};
    }
    QStringList tags;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(context->metadata, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        if (qstrcmp(entry->key, "software") != 0) {
            tags << QString::fromUtf8(entry->key) + '=' + QString::fromUtf8(entry->value);
        }
    }
    avformat_close_input(&context);
    tags.sort();
    return tags;
}

bool writeClip(const QString& fileName, int count, unsigned fps) {
    QVideoEncoder encoder;
    if (!encoder.createFile(fileName, 400, 400, 1000000, 20, fps)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (encoder.encodeImage(syntheticFrame(i)) < 0) {
            return false;
        }
    }
    return encoder.close();
}

}  // namespace uitest
