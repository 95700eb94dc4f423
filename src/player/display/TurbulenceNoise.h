#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace player::display {

// Flash's perlinNoise: the classic two-dimensional lattice noise whose gradients and lattice
// order come from a Park–Miller generator seeded by the script, summed over octaves. Flash
// follows the well-known turbulence reference algorithm closely enough that the same seed gives
// the same pixels, including its quirks (see stitchedFrequencies).
class TurbulenceNoise {
public:
    explicit TurbulenceNoise(int64_t seed);

    struct Settings {
        double frequencyX = 0, frequencyY = 0; // one over the script's baseX and baseY
        int octaves = 1;
        bool fractal = false;                  // signed sum; otherwise the sum of magnitudes
        bool stitch = false;
        double tileWidth = 0, tileHeight = 0;  // the bitmap's size, for stitching
        std::vector<std::array<double, 2>> offsets; // one per octave; missing ones are zero
    };

    // The noise of one of four independent channels (0 to 3) at a point.
    double at(int channel, double x, double y, const Settings& settings) const;

private:
    static constexpr int LatticeSize = 256;
    struct Stitch {
        int width = 0, height = 0, wrapX = 0, wrapY = 0;
    };
    double lattice(int channel, double x, double y, const Stitch* stitch) const;

    std::array<int, 2 * LatticeSize + 2> m_order {};
    std::array<std::array<std::array<double, 2>, 2 * LatticeSize + 2>, 4> m_gradients {};
};

} // namespace player::display
