// The still part of the scene: the inside of a steel pipe seen down its axis, as lit by the
// scope's LEDs (brightest on the near wall, dark down the bore, falling off toward the corners),
// with the LEDs' warm cast. Rendered once per seed into a square larger than the frame, so the
// picture only has to rotate and shift it. Texels hold 10-bit red, green and blue radiance, each
// in a 16-bit lane of its own and shifted up by 4, so that the picture can add 4 bits of noise to
// all three with one addition and look the sum up per lane.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace boardsim {

class SceneTexture {
public:
    // Side of the square and the pipe's axis, at the centre of the square.
    static constexpr int kSize = 608;
    static constexpr double kCentre = kSize / 2.0;
    // The texture is drawn out to this radius; a rotated and shifted frame must stay inside it.
    static constexpr double kRadius = 300.0;

    static constexpr int kLaneBits = 16;
    static constexpr int kValueShift = 4;
    static constexpr uint64_t kLaneMask = 0xFFFF;

    // A texel's red (0), green (1) or blue (2) value, 0..1023.
    static int channel(uint64_t texel, int colour) {
        return static_cast<int>((texel >> (colour * kLaneBits)) & kLaneMask) >> kValueShift;
    }

    explicit SceneTexture(uint32_t seed);

    // The texture of a seed, shared by every picture that asks for it while it is in use.
    static std::shared_ptr<const SceneTexture> forSeed(uint32_t seed);

    uint32_t seed() const { return m_seed; }
    // kSize x kSize texels, rows from the top.
    const uint64_t* texels() const { return m_texels.data(); }
    uint64_t texel(int x, int y) const { return m_texels[static_cast<size_t>(y) * kSize + x]; }

    // Mean red, green and blue (10-bit units) over the grey surfaces a frame can show (steel,
    // welds, bolts: what white balance should make grey), and over the centre 160 x 160 of a
    // frame centred on the axis.
    const std::array<double, 3>& greyMeans() const { return m_greyMeans; }
    const std::array<double, 3>& centreMeans() const { return m_centreMeans; }

private:
    uint32_t m_seed;
    std::vector<uint64_t> m_texels;
    std::array<double, 3> m_greyMeans{};
    std::array<double, 3> m_centreMeans{};
};

}  // namespace boardsim
