#include "FrameConverter.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#define HV_CONVERTER_X86 1
#endif

namespace hv {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// Pixels from..width - 1 of a row of R, G, B bytes into opaque ARGB32 pixels.
void convertRowPlain(const uint8_t* rgb, int from, int width, uint32_t* row) {
    for (int x = from; x < width; ++x) {
        const uint8_t* pixel = rgb + x * 3;
        row[x] = kOpaque | (uint32_t{pixel[0]} << 16) | (uint32_t{pixel[1]} << 8) | pixel[2];
    }
}

#ifdef HV_CONVERTER_X86
// Four pixels a turn: 12 bytes R G B ... become B G R A ... (an ARGB32 pixel in memory). Each
// load reads 16 bytes, so the turns stop where that would pass the row's end.
__attribute__((target("ssse3"))) int convertRowSsse3(const uint8_t* rgb, int width, uint32_t* row) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(kOpaque));
    int x = 0;
    for (; x * 3 + 16 <= width * 3; x += 4) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgb + x * 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x),
                         _mm_or_si128(_mm_shuffle_epi8(bytes, order), alpha));
    }
    return x;
}

bool hasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

// A writable image of the given size and format that no one else shares.
void makeWritable(QImage& image, int width, int height) {
    if (image.width() != width || image.height() != height || !image.isDetached()) {
        image = QImage(width, height, QImage::Format_ARGB32);
    }
}

}  // namespace

FrameConverter::FrameConverter(int width, int height)
    : m_frame(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32) {
    m_frame.fill(QColor(0, 0, 0));
}

const QImage& FrameConverter::convert(const uint8_t* rgb) {
    const int frameWidth = width();
    const int frameHeight = height();
    makeWritable(m_frame, frameWidth, frameHeight);
    const size_t rowBytes = static_cast<size_t>(frameWidth) * 3;
    for (int y = 0; y < frameHeight; ++y, rgb += rowBytes) {
        auto* row = reinterpret_cast<uint32_t*>(m_frame.scanLine(y));
        int done = 0;
#ifdef HV_CONVERTER_X86
        if (hasSsse3()) {
            done = convertRowSsse3(rgb, frameWidth, row);
        }
#endif
        convertRowPlain(rgb, done, frameWidth, row);
    }
    return m_frame;
}

const QImage& FrameConverter::scaled(int edge) {
    QImage& target = m_scaled[m_nextScaled];
    m_nextScaled ^= 1;
    if (edge < 1) {
        target = QImage();
        return target;
    }
    if (!m_scaler || m_scaler->width() != edge) {
        m_scaler = std::make_unique<BilinearScaler>(width(), height(), edge, edge);
    }
    makeWritable(target, edge, edge);
    m_scaler->scale(m_frame, target);
    return target;
}

}  // namespace hv
