#include "BilinearScaler.h"

#include <algorithm>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#define HV_SCALER_X86 1
#endif

namespace hv {

namespace {

enum Path { kPlain = 0, kSse2 = 1, kAvx2 = 2 };

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
// A horizontal mix (levels times kWeightOne) becomes an 8.8 fixed-point level by this shift,
// rounded.
constexpr int kToFixedShift = kWeightBits - 8;
// 8.8 levels (0..65280) are kept as signed 16-bit values less this bias, which suits the signed
// multiply-add of the vector units.
constexpr int kBias = 32768;
constexpr int kHorizontalAdd = (1 << (kToFixedShift - 1)) - (kBias << kToFixedShift);
// The vertical mix of two biased 8.8 levels, plus this, shifted right by kLevelShift, is the
// level rounded to nearest.
constexpr int kVerticalAdd = (kBias << kWeightBits) + (1 << (kWeightBits + 7));
constexpr int kLevelShift = kWeightBits + 8;

// Positions are 16.16 fixed point, as the raster engine computes them.
constexpr int kFixedOne = 1 << 16;
constexpr int kFixedHalf = 1 << 15;

inline int16_t mixHorizontally(int left, int right, int weight) {
    return static_cast<int16_t>((left * (kWeightOne - weight) + right * weight + kHorizontalAdd) >>
                                kToFixedShift);
}

inline uint8_t mixVertically(int upper, int lower, int weight) {
    return static_cast<uint8_t>((upper * (kWeightOne - weight) + lower * weight + kVerticalAdd) >>
                                kLevelShift);
}

inline int32_t weightPair(int weight) {
    return (kWeightOne - weight) | (weight << 16);
}

#ifdef HV_SCALER_X86

// Each source pixel beside the next one, channel by channel, as 16-bit values: b b' g g' r r' a a'.
void fillPairs(const uint32_t* source, int width, int16_t* pairs) {
    const __m128i zero = _mm_setzero_si128();
    for (int column = 0; column < width; ++column) {
        const uint32_t next = source[std::min(column + 1, width - 1)];
        const __m128i bytes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(source[column])),
                                                _mm_cvtsi32_si128(static_cast<int>(next)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs + column * 8),
                         _mm_unpacklo_epi8(bytes, zero));
    }
}

inline __m128i load128(const int16_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// The horizontal mixes of the row's first pixels, two a turn; returns how many were done.
int horizontalSse2(const int16_t* pairs, const int32_t* firsts, const int16_t* weights, int width,
                   int16_t* row) {
    const __m128i add = _mm_set1_epi32(kHorizontalAdd);
    auto mix = [&](int x) {
        const __m128i sum =
            _mm_madd_epi16(load128(pairs + firsts[x] * 8), load128(weights + x * 8));
        return _mm_srai_epi32(_mm_add_epi32(sum, add), kToFixedShift);
    };
    int x = 0;
    for (; x + 2 <= width; x += 2) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x * 4),
                         _mm_packs_epi32(mix(x), mix(x + 1)));
    }
    return x;
}

// The vertical mixes of the row's first pixels, four a turn; returns how many were done.
int verticalSse2(const int16_t* upper, const int16_t* lower, int weight, int width, uint8_t* out) {
    const __m128i weights = _mm_set1_epi32(weightPair(weight));
    const __m128i add = _mm_set1_epi32(kVerticalAdd);
    auto mix = [&](__m128i pairs) {
        return _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(pairs, weights), add), kLevelShift);
    };
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const int level = x * 4;
        const __m128i upper0 = load128(upper + level);
        const __m128i lower0 = load128(lower + level);
        const __m128i upper1 = load128(upper + level + 8);
        const __m128i lower1 = load128(lower + level + 8);
        const __m128i first = _mm_packs_epi32(mix(_mm_unpacklo_epi16(upper0, lower0)),
                                              mix(_mm_unpackhi_epi16(upper0, lower0)));
        const __m128i second = _mm_packs_epi32(mix(_mm_unpacklo_epi16(upper1, lower1)),
                                               mix(_mm_unpackhi_epi16(upper1, lower1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + level), _mm_packus_epi16(first, second));
    }
    return x;
}

// The AVX2 helpers carry the target themselves: lambdas would not inherit it.
#define HV_AVX2 __attribute__((target("avx2")))

HV_AVX2 inline __m256i load256(const int16_t* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// The horizontal mixes of target columns x and x + 1.
HV_AVX2 inline __m256i mixColumnsAvx2(const int16_t* pairs, const int32_t* firsts,
                                      const int16_t* weights, int x) {
    const __m256i both =
        _mm256_inserti128_si256(_mm256_castsi128_si256(load128(pairs + firsts[x] * 8)),
                                load128(pairs + firsts[x + 1] * 8), 1);
    const __m256i sum = _mm256_madd_epi16(both, load256(weights + x * 8));
    return _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(kHorizontalAdd)),
                             kToFixedShift);
}

// As horizontalSse2, four a turn. The 256-bit packs work within their 128-bit halves; the
// permutation puts the pixels back in order.
HV_AVX2 int horizontalAvx2(const int16_t* pairs, const int32_t* firsts, const int16_t* weights,
                           int width, int16_t* row) {
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m256i packed = _mm256_packs_epi32(mixColumnsAvx2(pairs, firsts, weights, x),
                                                  mixColumnsAvx2(pairs, firsts, weights, x + 2));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x * 4),
                            _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
    }
    return x;
}

HV_AVX2 inline __m256i mixRowsAvx2(__m256i pairs, __m256i weights) {
    return _mm256_srli_epi32(
        _mm256_add_epi32(_mm256_madd_epi16(pairs, weights), _mm256_set1_epi32(kVerticalAdd)),
        kLevelShift);
}

// Four pixels' vertical mixes as 16-bit levels, in order.
HV_AVX2 inline __m256i mixFourAvx2(const int16_t* upper, const int16_t* lower, __m256i weights) {
    const __m256i up = load256(upper);
    const __m256i down = load256(lower);
    return _mm256_packs_epi32(mixRowsAvx2(_mm256_unpacklo_epi16(up, down), weights),
                              mixRowsAvx2(_mm256_unpackhi_epi16(up, down), weights));
}

// As verticalSse2, eight a turn.
HV_AVX2 int verticalAvx2(const int16_t* upper, const int16_t* lower, int weight, int width,
                         uint8_t* out) {
    const __m256i weights = _mm256_set1_epi32(weightPair(weight));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const int level = x * 4;
        const __m256i bytes =
            _mm256_packus_epi16(mixFourAvx2(upper + level, lower + level, weights),
                                mixFourAvx2(upper + level + 16, lower + level + 16, weights));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + level),
                            _mm256_permute4x64_epi64(bytes, _MM_SHUFFLE(3, 1, 2, 0)));
    }
    return x;
}

#undef HV_AVX2

#endif  // HV_SCALER_X86

}  // namespace

BilinearScaler::BilinearScaler(int sourceWidth, int sourceHeight, int width, int height)
    : m_sourceWidth(std::max(sourceWidth, 1)),
      m_sourceHeight(std::max(sourceHeight, 1)),
      m_width(std::max(width, 1)),
      m_height(std::max(height, 1)),
      m_path(fastestPath()),
      m_columns(columnTaps(m_sourceWidth, m_width)),
      m_rows(rowTaps(m_sourceHeight, m_height)),
      m_firsts(static_cast<size_t>(m_width)),
      m_weights(static_cast<size_t>(m_width) * 8),
      m_pairs(static_cast<size_t>(m_sourceWidth) * 8),
      m_upper(static_cast<size_t>(m_width) * 4),
      m_lower(static_cast<size_t>(m_width) * 4) {
    for (int x = 0; x < m_width; ++x) {
        m_firsts[x] = m_columns[x].first;
        for (int channel = 0; channel < 4; ++channel) {
            m_weights[x * 8 + channel * 2] = static_cast<int16_t>(kWeightOne - m_columns[x].weight);
            m_weights[x * 8 + channel * 2 + 1] = static_cast<int16_t>(m_columns[x].weight);
        }
    }
}

int BilinearScaler::fastestPath() {
#ifdef HV_SCALER_X86
    // SSE2 belongs to every x86-64 processor.
    static const int path = __builtin_cpu_supports("avx2") ? kAvx2 : kSse2;
    return path;
#else
    return kPlain;
#endif
}

void BilinearScaler::usePath(int path) {
    m_path = std::clamp(path, static_cast<int>(kPlain), fastestPath());
}

// The two neighbours of a 16.16 position and the weight of the second; at and beyond the border
// both are the edge pixel.
BilinearScaler::Tap BilinearScaler::tapAt(int position, int sourceSize) {
    const int first = position >> 16;
    if (first < 0) {
        return {0, 0, 0};
    }
    if (first >= sourceSize - 1) {
        return {sourceSize - 1, sourceSize - 1, 0};
    }
    return {first, first + 1, (position & (kFixedOne - 1)) >> (16 - kWeightBits)};
}

// Along a row the raster engine steps from the first pixel centre by a truncated 16.16
// increment; the small drift this gives on wide rows is part of the picture it paints.
std::vector<BilinearScaler::Tap> BilinearScaler::columnTaps(int sourceSize, int size) {
    const double step = 1.0 / (static_cast<double>(size) / sourceSize);
    const int increment = static_cast<int>(step * kFixedOne);
    int position = static_cast<int>(step * 0.5 * kFixedOne) - kFixedHalf;
    std::vector<Tap> taps(static_cast<size_t>(size));
    for (Tap& tap : taps) {
        tap = tapAt(position, sourceSize);
        position += increment;
    }
    return taps;
}

// Each row's position is computed from its own centre.
std::vector<BilinearScaler::Tap> BilinearScaler::rowTaps(int sourceSize, int size) {
    const double step = 1.0 / (static_cast<double>(size) / sourceSize);
    std::vector<Tap> taps(static_cast<size_t>(size));
    for (int row = 0; row < size; ++row) {
        taps[row] =
            tapAt(static_cast<int>(step * (row + 0.5) * kFixedOne) - kFixedHalf, sourceSize);
    }
    return taps;
}

void BilinearScaler::interpolateRow(const uint32_t* source, int16_t* row) {
    int x = 0;
#ifdef HV_SCALER_X86
    if (m_path != kPlain) {
        fillPairs(source, m_sourceWidth, m_pairs.data());
        x = m_path == kAvx2
                ? horizontalAvx2(m_pairs.data(), m_firsts.data(), m_weights.data(), m_width, row)
                : horizontalSse2(m_pairs.data(), m_firsts.data(), m_weights.data(), m_width, row);
    }
#endif
    const auto* bytes = reinterpret_cast<const uint8_t*>(source);
    for (; x < m_width; ++x) {
        const Tap& tap = m_columns[x];
        const uint8_t* left = bytes + tap.first * 4;
        const uint8_t* right = bytes + tap.second * 4;
        for (int channel = 0; channel < 4; ++channel) {
            row[x * 4 + channel] = mixHorizontally(left[channel], right[channel], tap.weight);
        }
    }
}

void BilinearScaler::scale(const QImage& source, QImage& target) {
    if (source.width() != m_sourceWidth || source.height() != m_sourceHeight ||
        source.depth() != 32 || target.width() != m_width || target.height() != m_height ||
        target.depth() != 32) {
        return;
    }
    int upperRow = -1;
    int lowerRow = -1;
    for (int y = 0; y < m_height; ++y) {
        const Tap& tap = m_rows[y];
        if (upperRow != tap.first) {
            if (lowerRow == tap.first) {
                std::swap(m_upper, m_lower);
                std::swap(upperRow, lowerRow);
            } else {
                interpolateRow(reinterpret_cast<const uint32_t*>(source.constScanLine(tap.first)),
                               m_upper.data());
                upperRow = tap.first;
            }
        }
        if (lowerRow != tap.second) {
            interpolateRow(reinterpret_cast<const uint32_t*>(source.constScanLine(tap.second)),
                           m_lower.data());
            lowerRow = tap.second;
        }

        uint8_t* out = target.scanLine(y);
        int x = 0;
#ifdef HV_SCALER_X86
        if (m_path == kAvx2) {
            x = verticalAvx2(m_upper.data(), m_lower.data(), tap.weight, m_width, out);
        } else if (m_path == kSse2) {
            x = verticalSse2(m_upper.data(), m_lower.data(), tap.weight, m_width, out);
        }
#endif
        for (int level = x * 4; level < m_width * 4; ++level) {
            out[level] = mixVertically(m_upper[level], m_lower[level], tap.weight);
        }
    }
}

}  // namespace hv
